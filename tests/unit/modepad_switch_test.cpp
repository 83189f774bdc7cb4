// What modepad sends for each button and how it recognises the host's main window.
#include <gtest/gtest.h>

#include "mode_switch.h"

using modepad::Button;
using Macros = std::vector<std::string>;

TEST(ModepadSwitch, StartSwitchesToBpsk63) {
    EXPECT_EQ(modepad::startMacros(), (Macros{"<MODE:BPSK31>", "<BAUDRATE:63>"}));
}

TEST(ModepadSwitch, ButtonMacrosByHostMode) {
    struct Case {
        Button button;
        const char16_t* hostMode;
        Macros expected;
    };
    const Macros rtty{"<MODE:RTTY>", "<BAUDRATE:75>"};
    const Macros bpsk{"<MODE:BPSK31>", "<BAUDRATE:63>"};
    const Case cases[] = {
        {Button::rtty75, u"RTTY", rtty},
        {Button::rtty75, u"BPSK31", rtty},
        {Button::rtty75, u"", rtty},
        {Button::bpsk63, u"BPSK31", {"<BAUDRATE:63>"}},
        {Button::bpsk63, u"BPSK63", bpsk},
        {Button::bpsk63, u"RTTY", bpsk},
        {Button::bpsk63, u"", bpsk},
        // Compared exactly: another spelling is another mode.
        {Button::bpsk63, u"bpsk31", bpsk},
        {Button::bpsk63, u"BPSK31 ", bpsk},
        {Button::bpsk63, u"BPSK3", bpsk},
    };
    for (const Case& c : cases)
        EXPECT_EQ(modepad::buttonMacros(c.button, c.hostMode), c.expected)
            << (c.button == Button::rtty75 ? "RTTY75" : "BPSK63") << " with the host in '"
            << std::string(c.hostMode, c.hostMode + std::char_traits<char16_t>::length(c.hostMode)) << "'";
    EXPECT_TRUE(modepad::readsHostMode(Button::bpsk63));
    EXPECT_FALSE(modepad::readsHostMode(Button::rtty75));
}

TEST(ModepadSwitch, HostWindowByTheFirst18CharactersOfItsClass) {
    struct Case {
        const char* className;
        bool host;
    };
    const Case cases[] = {
        {"Afx:400000:b:10011", true},   {"Afx:400000:b:10011:6:1a0ffd", true},
        {"Afx:400000:b:1001", false},  // 17 of the 18 characters
        {"afx:400000:b:10011", false},  {"Afx:400000:b:10012:6:0", false},
        {"XAfx:400000:b:10011", false}, {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(modepad::isHostWindowClass(c.className), c.host) << c.className;
}

TEST(ModepadSwitch, HostProgramByItsFileName) {
    struct Case {
        const char* fileName;
        bool host;
    };
    const Case cases[] = {
        {"Orba2.exe", true},
        {"ORBA.EXE", true},
        {"orba-standin.exe", true},
        {"Orba2.exe.bak", false},
        {"modepad.exe", false},
        {"XOrba2.exe", false},
        {"Orba2", false},
        {"orb.exe", false},
        {"Orba.ex", false},
        {"Orba.exe", true},
        {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(modepad::isHostExecutable(c.fileName), c.host) << c.fileName;
}
