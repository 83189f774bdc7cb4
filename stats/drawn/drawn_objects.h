// The shape painters of the drawn buttons: a button makes one for each paint, a
// rectangle or an ellipse, and has it draw the body (fill, bevel border, focus mark)
// and the centred label. Every pen and brush a painter makes is selected out and
// deleted before the operation returns, and each operation leaves the DC's colours
// and modes as it found them.
//
// The rectangle comes by value: an operation's changes to it stay its own.
#pragma once
#include <windows.h>

#include <string_view>

#include "drawn/device_context.h"

class DrawnObject {
public:
    DrawnObject() = default;
    DrawnObject(const DrawnObject&) = delete;
    DrawnObject& operator=(const DrawnObject&) = delete;
    virtual ~DrawnObject() = default;

    // The whole body of a control for the item state of a draw-item request (ODS_*).
    virtual void Draw(DeviceContext& dc, RECT rect, UINT itemState, COLORREF backColor) = 0;
    // One centred line of text in `color` over a transparent background, with the
    // font the DC has.
    virtual void DrawLabel(DeviceContext& dc, RECT rect, std::string_view text, COLORREF color);
    // Bevel: raised for a positive depth, sunken for a negative one.
    virtual void DrawBorder(DeviceContext& dc, RECT rect, int depth) = 0;
    virtual void Fill(DeviceContext& dc, RECT rect, COLORREF color) = 0;
    virtual void DrawFocus(DeviceContext& dc, RECT rect, COLORREF color) = 0;
};

// A raised rectangle: a face, a two-ring bevel fading inwards, and while focused a
// dotted focus frame two pixels in, with a sunken edge when pressed as well.
class DrawnRect : public DrawnObject {
public:
    void Draw(DeviceContext& dc, RECT rect, UINT itemState, COLORREF backColor) override;
    // |depth| rings of drawn::bevelColors, from the outside in.
    void DrawBorder(DeviceContext& dc, RECT rect, int depth) override;
    void Fill(DeviceContext& dc, RECT rect, COLORREF color) override;
    // The system's focus frame; the colour is not used.
    void DrawFocus(DeviceContext& dc, RECT rect, COLORREF color) override;
};

// A lamp-like disc: filled inside a grey two-pixel ring; focused, a dotted near-black
// ring whose gaps show the face; focused and pressed, two near-black rings for the
// grey one.
class DrawnEllipse : public DrawnObject {
public:
    void Draw(DeviceContext& dc, RECT rect, UINT itemState, COLORREF backColor) override;
    // One two-pixel ring: mid grey for depth 0 or more, near-black when negative.
    // Like every ellipse it also fills the inside with the DC's current brush.
    void DrawBorder(DeviceContext& dc, RECT rect, int depth) override;
    // Ever smaller three-pixel outlines from the edge to the centre; the DC's brush
    // stays as it is. An empty rectangle gets nothing.
    void Fill(DeviceContext& dc, RECT rect, COLORREF color) override;
    void DrawFocus(DeviceContext& dc, RECT rect, COLORREF color) override;
};
