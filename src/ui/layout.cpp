#include "ui/layout.h"

#include "ui/texts.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace venmarra::ui {
namespace {

using enum ControlId;
using enum ControlKind;

constexpr std::array kForm1Controls {
    ControlDesign {Command3, "Command3", CommandButton, {}, {3240, 2520, 615, 495}, 12, texts::kCommand3},
    ControlDesign {List1, "List1", ListBox, {}, {3960, 600, 4815, 2760}, 10, {}},
    ControlDesign {Command2, "Command2", CommandButton, {}, {1680, 2520, 1455, 495}, 6, texts::kCommand2},
    ControlDesign {Frame1, "Frame1", Frame, {}, {120, 240, 3735, 2175}, 1, texts::kFrame1},
    ControlDesign {Text1, "Text1", TextBox, Frame1, {1200, 240, 2415, 375}, 5, {}},
    ControlDesign {Label6, "Label6", AutoSizeLabel, Frame1, {120, 1080, 900, 180}, 9, texts::kLabel6},
    ControlDesign {Label5, "Label5", AutoSizeLabel, Frame1, {120, 720, 720, 180}, 8, texts::kLabel5},
    ControlDesign {Label3, "Label3", AutoSizeLabel, Frame1, {120, 1800, 900, 180}, 4, texts::kLabel3},
    ControlDesign {Label2, "Label2", AutoSizeLabel, Frame1, {120, 1440, 900, 180}, 3, texts::kLabel2},
    ControlDesign {Label1, "Label1", AutoSizeLabel, Frame1, {120, 360, 1080, 180}, 2, texts::kLabel1, Text1},
    ControlDesign {Command1, "Command1", CommandButton, {}, {120, 2520, 1455, 495}, 0, texts::kCommand1},
    ControlDesign {Line3, "Line3", Line, {}, {8760, 240, 0, 360}, -1, {}},
    ControlDesign {Line2, "Line2", Line, {}, {3960, 240, 4800, 0}, -1, {}},
    ControlDesign {Line1, "Line1", Line, {}, {3960, 240, 0, 360}, -1, {}},
    ControlDesign {Label7, "Label7", CentredLabel, {}, {3960, 360, 4815, 255}, 11, texts::kLabel7, List1},
    ControlDesign {Label4, "Label4", AutoSizeLabel, {}, {120, 3120, 90, 180}, 7, {}},
};

constexpr std::array kForm2Controls {
    ControlDesign {Form2Text1, "Text1", MailTextBox, {}, {120, 120, 4335, 2535}, 0, {}},
};

constexpr WindowDesign kForm1 {"Form1", 8835, 3420, true, kForm1Controls};
constexpr WindowDesign kForm2 {"Form2", 4560, 2730, false, kForm2Controls};

constexpr bool takesFocus(ControlKind kind)
{
    return kind == CommandButton || kind == ListBox || kind == TextBox || kind == MailTextBox;
}

constexpr auto kForm1TabStops = [] {
    std::array<ControlDesign, kForm1Controls.size()> byTab = kForm1Controls;
    std::ranges::sort(byTab, {}, &ControlDesign::tabIndex);
    std::array<ControlId, 5> stops {};
    std::size_t count = 0;
    for (const ControlDesign &control : byTab)
        if (takesFocus(control.kind))
            stops.at(count++) = control.id;
    return stops;
}();

}  // namespace

const WindowDesign &form1Design()
{
    return kForm1;
}

const WindowDesign &form2Design()
{
    return kForm2;
}

const ControlDesign &designOf(ControlId id)
{
    if (id == Form2Text1)
        return kForm2Controls.front();
    return *std::ranges::find(kForm1Controls, id, &ControlDesign::id);
}

std::span<const ControlId> form1TabStops()
{
    return kForm1TabStops;
}

std::u16string_view accessibleName(ControlId control)
{
    const auto label = std::ranges::find(kForm1Controls, std::optional(control), &ControlDesign::labelFor);
    if (label == kForm1Controls.end())
        return {};
    std::u16string_view name = label->caption;
    if (name.ends_with(u'：'))
        name.remove_suffix(1);
    return name;
}

std::vector<ControlId> form1StackingOrder(std::optional<ControlId> container)
{
    std::vector<ControlDesign> byTab;
    std::ranges::copy_if(
        kForm1Controls, std::back_inserter(byTab),
        [container](const ControlDesign &control) { return control.container == container; });
    std::ranges::stable_sort(byTab, {}, &ControlDesign::tabIndex);  // the lines, at -1, first
    std::vector<ControlId> order;
    for (const ControlDesign &control : byTab) {
        if (control.labelFor)
            continue;  // placed with the control it names
        const auto label = std::ranges::find(byTab, std::optional(control.id), &ControlDesign::labelFor);
        if (label != byTab.end())
            order.push_back(label->id);
        order.push_back(control.id);
    }
    return order;
}

std::vector<ControlId> form1ReadingOrder(std::optional<ControlId> container)
{
    std::vector<ControlDesign> placed;
    std::ranges::copy_if(
        kForm1Controls, std::back_inserter(placed), [container](const ControlDesign &control) {
            return control.container == container && control.kind != Line && !control.labelFor;
        });
    std::ranges::sort(placed, {}, [](const ControlDesign &control) {
        return std::pair(control.place.top, control.place.left);
    });
    std::vector<ControlId> order;
    for (const ControlDesign &control : placed) {
        const auto label
            = std::ranges::find(kForm1Controls, std::optional(control.id), &ControlDesign::labelFor);
        if (label != kForm1Controls.end())
            order.push_back(label->id);
        order.push_back(control.id);
    }
    return order;
}

PixelRect TwipScale::operator()(const TwipsRect &twips) const
{
    const TwipScale &scale = *this;
    return {scale(twips.left), scale(twips.top), scale(twips.width), scale(twips.height)};
}

PixelRect TwipScale::lineBox(const TwipsRect &line) const
{
    const TwipScale &scale = *this;
    const int left = scale(line.left), top = scale(line.top);
    return {left, top, scale(line.left + line.width) - left + 1, scale(line.top + line.height) - top + 1};
}

}  // namespace venmarra::ui
