// The Cabrillo header dialog (template IDD_CABRILLO): shows the eleven header values
// of an export and, when the operator confirms, takes the edited texts back.
#pragma once
#include "platform/seams.h"
#include "windows/dialog_base.h"

class Cabrillo : public CDialogBase {
public:
    explicit Cabrillo(CabrilloHeader& values) : values_(values) {}

    // Modal, owned by the calling thread's active window (the host's), which stays
    // disabled until it closes, so the host cannot be used with an export half done;
    // without such a window, unowned. True on OK with `values` updated; anything else
    // (Cancel, closing, a dialog that cannot be shown) leaves them as they were.
    bool run();

private:
    bool onInit() override;
    void onOk() override;

    // Adds the entries of a string-table run, in order, to a list.
    void fillList(int comboId, int firstStringId);
    // Selects the first entry that begins with `value`, letter case aside; without
    // one the value goes into the list's edit field.
    void showChoice(int comboId, const std::string& value);

    CabrilloHeader& values_;
};
