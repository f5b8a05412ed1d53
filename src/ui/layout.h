#pragma once

#include <cmath>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The two windows as designed, in twips (1440 to the inch), for every front end to build from:
// each control's name, kind, container, place, tab index and first caption.
namespace venmarra::ui {

// Every control of both windows; Form2Text1 is the viewer's box, also named "Text1".
enum class ControlId {
    Command3,
    List1,
    Command2,
    Frame1,
    Text1,
    Label6,
    Label5,
    Label3,
    Label2,
    Label1,
    Command1,
    Line3,
    Line2,
    Line1,
    Label7,
    Label4,
    Form2Text1,
};
inline constexpr std::size_t kControlCount = static_cast<std::size_t>(ControlId::Form2Text1) + 1;

enum class ControlKind {
    CommandButton,
    ListBox,  // unsorted, single selection
    Frame,  // a captioned group box that contains controls
    TextBox,  // single line, editable
    MailTextBox,  // multi-line, wrapping, vertical scroll bar always shown, editable, no limit
    AutoSizeLabel,  // takes its caption's size, keeping its place
    CentredLabel,  // keeps its size and centres its caption
    Line,  // from (left, top) to (left + width, top + height), one pixel, window-text colour
};

struct TwipsRect {
    int left, top, width, height;
};

struct ControlDesign {
    ControlId id;
    const char *name;
    ControlKind kind;
    std::optional<ControlId> container;  // none: the window's client area
    TwipsRect place;  // from its container's client area
    int tabIndex;  // -1 for none (lines)
    std::u16string_view caption;
    // A label that names another control for screen readers, which read the label just before it.
    std::optional<ControlId> labelFor = std::nullopt;
};

struct WindowDesign {
    const char *name;
    int clientWidth, clientHeight;
    bool minimiseButton;  // both have a fixed border and a close box, neither a maximise button
    std::span<const ControlDesign> controls;  // front to back, as they are stacked
};

const WindowDesign &form1Design();
const WindowDesign &form2Design();
const ControlDesign &designOf(ControlId id);
// The design's controls that take the keyboard focus, in tab order.
std::span<const ControlId> form1TabStops();
// The main window's controls in `container` (none: the window's own), front to back for a system
// that walks the dialog keys in stacking order: the lines on top of what they cross, then by tab
// index, a naming label just before the control it names.
std::vector<ControlId> form1StackingOrder(std::optional<ControlId> container);
// The main window's controls in `container` (none: the window's own) as a reader meets them on the
// screen: top to bottom, left to right, a naming label just before the control it names; the
// lines, drawn on the window, left out.
std::vector<ControlId> form1ReadingOrder(std::optional<ControlId> container);
// What a screen reader calls `control`: the caption of the label that names it, without a closing
// full-width colon; empty when no label names it.
std::u16string_view accessibleName(ControlId control);

struct PixelRect {
    int left, top, width, height;
};

// The designs are measured for the default face of a Simplified Chinese desktop, whose Chinese
// character is 180 twips wide (12 pixels at 96 dots per inch, so 15 twips to a pixel). A twip is
// measured against the font that the controls use, so a larger desktop font grows the windows
// in proportion and no caption outgrows its place.
class TwipScale {
public:
    static constexpr int kTwipsPerCharacter = 180;
    static constexpr int kDesignCharacterPixels = 12;
    // The character whose width in the controls' font a front end measures.
    static constexpr char16_t kMeasuredCharacter = 0x4E2D;  // 中

    // `characterPixels`: the width of "中" in the controls' font at the screen's resolution; when
    // no font could measure it (0 or less), the design's face at `dpi`.
    explicit TwipScale(double characterPixels, int dpi = 96)
        : m_pixelsPerTwip((characterPixels > 0 ? characterPixels : kDesignCharacterPixels * dpi / 96.0)
                          / kTwipsPerCharacter)
    {
    }

    int operator()(int twips) const { return static_cast<int>(std::lround(twips * m_pixelsPerTwip)); }
    PixelRect operator()(const TwipsRect &twips) const;
    // The pixels that a line's control covers: its two ends included, so a straight line is one
    // pixel wide.
    PixelRect lineBox(const TwipsRect &line) const;

private:
    double m_pixelsPerTwip;
};

}  // namespace venmarra::ui
