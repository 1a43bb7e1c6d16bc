#include "ui/HelpTips.h"

#include <QStringList>
#include <array>
#include <optional>
#include <utility>
#include <vector>

namespace {

const std::array HelpEntries = {
    THelpEntry{"ButtonFlushGas",
     "Opens the MFC valve <B>50% for 10 seconds</B>. Intended use is to flush undesired gas out with inert or compatible gas connected. <BC:#FFFF00>This stops any segment programs for this device.</BC>"},
    THelpEntry{"ButtonChangeSyringe",
     "Moves the pump syringe to the bottom position. Intended for changing the syringe. <BC:#FF0000>This stops any changes to any devices while being performed.</BC>"},
    THelpEntry{"ButtonPrimePump",
     "Starts x loops of <B>Fill the syringe, then dispenses it</B>. See Dampor backside for fluid. Repeat until all gas is removed from system, or old fluid is replaced with new one. <BC:#FF0000>This makes software unresponsive until done, by design.</BC>"},
    THelpEntry{"DzHTMLTextTips",
     "Short information sniplets on things the mouse pointer is over will be shown here. <B>Drag the bottom splitter</B> to re-arrange form size proportions, to ain more arrea to show this help and the log below."},
    THelpEntry{"RtGraph2DMain",
     "<B>Drag</B> on graph to zoom. <B>Click</B> outside axes to unzoom. <B>Drag the splitter</B> below to re-arrange form size proportions, to enlarge the graph"},
    THelpEntry{"MemoMain",
     "Log and feedback of software use."},
    THelpEntry{"ButtonSearchDevices",
     "Looks through all the available <B>COM</B> ports, and tries to identify any connected <B>Blendor</B> and <B>Dampor</B> devices. <BC:#FFFF00>The search may interfere a little with the timing of currently running devices and their segment programs.</BC>"},
    THelpEntry{"ListBoxDevices",
     "Click on listed devices to select one for configuration."},
    THelpEntry{"ButtonApplyConfiguration",
     "Checks the selected configuration, and if acceptable, applies the setting to the selected device, <BC:#FFFF00>making the device usable in other tabs.</BC> Do note the first time configuration is applied (part of which is a factory reset)  allows a <BC:#FF0000> small amount of gas to flow for about a second.</BC>"},
    THelpEntry{"LabelColor",
     "Select unique color for this device. Supports also <B>transparent colors</B>. More info available on mouseover popups on the color-picker component."},
    THelpEntry{"LabelFluid",
     "For MFCs, special, custom and dynamic gases are at the bottom of the list. For MFCs and Pump, custom fluids can be edited in the custom fluids tab. <B>Type in</B> to find items quicker."},
    THelpEntry{"ButtonSegmentType",
     "Segment type <b>step</b> changes the flow value immediately, <b>ramp</b> changes the flow value as linear ramp from previous to current segment. <b>Ramp</b> on first segment assumes previous flow to be 0."},
    THelpEntry{"ButtonDeviceInitialize",
     "<b>Initialize</b> does an extensive factory reset and initialization sequence on the selected device, to ensure the device configuration is compatible with the software. It is normally not necessary for the end user to perform this action. Initialize will take a while, and the user interface will be unresponsive. <BC:#FFFF00>Be aware the process will also allow some gas flow.</bc>"},
    THelpEntry{"ButtonSegmentProgramStart",
     "<BC:#FF0000>Multi device button.</BC> To select more than one device, use <b>ctrl</b> or <b>shift</b>-click functionality on available devices. <BC:#FFFF00>Action applies to all selected devices.</BC>"},
    THelpEntry{"ButtonSegmentProgramStop",
     "<BC:#FF0000>Multi device button.</BC> To select more than one device, use <b>ctrl</b> or <b>shift</b>-click functionality on available devices. <BC:#FFFF00>Action applies to all selected devices.</BC> <B>Applies setpoint zero</B>, and makes the device go to idle mode."},
    THelpEntry{"ButtonApplyFlow",
     "Clicking apply will immediately change device flow to desired flow, <BC:#FFFF00>and stop execution of segment program if this device has one running.</BC> <BC:#FF0000>Multi device button.</BC> To select more than one device, use <b>ctrl</b> or <b>shift</b>-click functionality on available devices. <BC:#FFFF00>Action applies to all selected devices.</BC>"},
    THelpEntry{"ButtonDirectControlStop",
     "<B>Applies setpoint zero</B>, and makes the device go to idle mode. <BC:#FF0000>Multi device button.</BC> To select more than one device, use <b>ctrl</b> or <b>shift</b>-click functionality on available devices. <BC:#FFFF00>Action applies to all selected devices.</BC> "},
    THelpEntry{"ButtonMixSegmentsAdd",
     "Add mixture as defined to all involved devices. This will <BC:#FFFF00>overwrite</BC> any possibly existing segment at that time."},
    THelpEntry{"EditFlowUnitName",
     "Enter name for the flow unit: ml/min and ccm are interchangeable. Use of <B>N</B>ormalized or <B>S</B>tandard in the unit name is discouraged as their meaning is disambiguous. Instead rely on the reference conditions or use <B>g/min</B>."},
    THelpEntry{"EditNoteMixture",
     "A note to be added to all device segments at this time. Accepts only <B>alphanumeric</B>, <B>%</B>, <B>*</B>, <B>@</B>, <B>/</B> or <B>space</B>. Other characters will be <BC:#FFFF00>ignored</BC>. If other characters are needed, ask."},
    THelpEntry{"ListViewSegmentProgram",
     "Right mouse click to load or save segment program to a (text) file, for the selected device."},
    THelpEntry{"ListViewDevices",
     "List of available devices. Many actions can be applied to multiple devices at once. To select multiple devices use <B>ctrl</B> or <B>shift</B> with <B>left mouse</B> click. For actions affecting only one device, the the last item selected has focus. Selected items are marked with hollow diamond. Focused row is marked with solid diamond."},
    THelpEntry{"MixDesignGroupBox",
     "Set the time for mixture designer. Changing time will retrieve flows at specified time in segment program. Trackbar reacts to <B>arrow keys</B> and <B>mouse wheel</B> for small changes, and <B>page up/down</B> for large changes. Overall changes the time value between 0 and the largest value in the segment program. Exact step for mouse wheel is determined by Windows settings."},
    THelpEntry{"RtDoubleEditDesignMixTime",
     "Manually entering the time gives more precission, allowing fractions, and specifying times after the last segment."},
    THelpEntry{"ScrollBoxFlow",
     "Set the flow for this device. Trackbar reacts to mouse wheel and changes the time value between 0 and the largest flow possible with the device."},
};

const char* const DynamicSetpointKeyPart = "DoubleEditDynamic_";
const char* const DynamicSetpointText =
    "Manually entering the flow gives more precission, allowing fractions.";
const char* const GeneralHintText =
    "Hover mouse over items (or adjacent labels) to see help, tips and information.";

const char* const FluidListText =
    "All<SUB>1</SUB> gases and fluids available for this device are listed in this control. Listed items have tab-structure with following details:<BR><div:thick_top=1,thick_left=1,thick_bottom=1,lncolor=#000000, margin=2, pad_top=2><B>Shortname</B><BR><LINE:width=250><BR>First 9 characters long \"shortname\".<BR>Typed-in characters search entries based on this.<BR></div><div:thick_top=1,thick_left=1,thick_bottom=1,lncolor=#000000, margin=2, pad_top=2><B>Formula</B><BR><LINE:width=200><BR>First 9 characters of formula<BR><BR></div><div:thick=1,lncolor=#000000, margin=2, pad_top=2><B>Longname</B> (or recipe)<BR><LINE:width=200><BR>Full name or when lacking,<BR>the composition in partial pressure.<BR>Info on isomerism when relevant.</div><BR><BR><BC:#FFFF00>Beware!</BC> The software has no way of knowing if the selection made in software corresponds to what is connected in physical world. Check connections.<BR><BR><LINE:width=150><BR>1) Do note corrosive etc. gases are not shown for incompatible devices, liquids for MFC, or gases for pump. Should you need gas for syringe pump, take contact.";

const char* const PredefinedConditionsText =
    "Gas flow can be measured by mass or by volume. Same amount of gas will be a different volume depending on both the temperature and the pressure. There are many definitions and standards trying to pin down the \"right\" reference conditions, often denoted by N- or S- prefix before the volumetric unit. These reference conditions vary depending of issuer, industry, region, instrument manufacturer, and even with time (when the authors redefine). With volumetric measurements, the dissonance between the definition of NTP or STP, as well as the dynamic nature of actual condition are recurring sources of error. <BR><LINE:width=full><BR>This software allows flows in: <BC:#00FF00>g/min</BC>, which is always the same regardless of conditions, as well as any reference condition for volumetric units. The volumetric flow is in <BC:#00FF00>ml/m</BC> (milliliters per minute) or in <BC:#00FF00>ccm</BC> (cubic centimeter per minute) as these units are interchangeable. The unit name and the reference conditions can be pre-defined from the drop-down menu, or entered by hand. Software does not provide definitions for accronyms NTP or STP but users are free to use them as befits their needs, as well as any custom reference conditions such as in laboratories at higher altitudes and lower ambient pressures.";

bool IsHtmlColour(const QString& text)
{
    if (text.size() != 7 || text.front() != u'#')
        return false;
    for (qsizetype i = 1; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        const bool hex = (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
        if (!hex)
            return false;
    }
    return true;
}

// A framed block: border widths per side, border colour, outer margin, space above the content.
struct TFrame {
    int Top = 0;
    int Left = 0;
    int Bottom = 0;
    int Right = 0;
    QString Colour = QStringLiteral("#000000");
    int Margin = 0;
    int PadTop = 0;
};

TFrame ParseFrame(const QString& parameters)
{
    TFrame frame;
    for (const QString& item : parameters.split(u',', Qt::SkipEmptyParts)) {
        const QString key = item.section(u'=', 0, 0).trimmed().toLower();
        const QString value = item.section(u'=', 1).trimmed();
        if (key == QLatin1String("lncolor")) {
            if (IsHtmlColour(value))
                frame.Colour = value;
            continue;
        }
        bool ok = false;
        const int pixels = value.toInt(&ok);
        if (!ok || pixels < 0)
            continue;
        if (key == QLatin1String("thick"))
            frame.Top = frame.Left = frame.Bottom = frame.Right = pixels;
        else if (key == QLatin1String("thick_top"))
            frame.Top = pixels;
        else if (key == QLatin1String("thick_left"))
            frame.Left = pixels;
        else if (key == QLatin1String("thick_bottom"))
            frame.Bottom = pixels;
        else if (key == QLatin1String("thick_right"))
            frame.Right = pixels;
        else if (key == QLatin1String("margin"))
            frame.Margin = pixels;
        else if (key == QLatin1String("pad_top"))
            frame.PadTop = pixels;
    }
    return frame;
}

QString CellOpening(const TFrame& frame)
{
    QString style;
    const auto side = [&](const char* name, int width) {
        if (width > 0)
            style += QStringLiteral("border-%1:%2px solid %3; ").arg(QLatin1String(name)).arg(width).arg(frame.Colour);
    };
    side("top", frame.Top);
    side("left", frame.Left);
    side("bottom", frame.Bottom);
    side("right", frame.Right);
    if (frame.PadTop > 0)
        style += QStringLiteral("padding-top:%1px; ").arg(frame.PadTop);
    return QStringLiteral("<td style=\"%1\">").arg(style.trimmed());
}

enum class TTag { Bold, Background, Subscript, Frame };

// Writes well-formed Qt rich text from the markup's events. Framed blocks become cells of a
// one-row table; a block that follows another directly becomes the next cell of that row.
class RichTextWriter {
public:
    void Text(QStringView text)
    {
        if (text.isEmpty())
            return;
        FlushRow();
        for (const QChar c : text) {
            if (c == u'&')
                fHtml += QLatin1String("&amp;");
            else if (c == u'<')
                fHtml += QLatin1String("&lt;");
            else if (c == u'>')
                fHtml += QLatin1String("&gt;");
            else
                fHtml += c;
        }
    }

    void Element(const QString& html)
    {
        FlushRow();
        fHtml += html;
    }

    void Open(TTag tag, const QString& opening, const QString& closing)
    {
        Element(opening);
        fOpen.push_back({tag, opening, closing});
    }

    // Closes the innermost open tag of that kind inside the current framed block, closing and
    // reopening the tags opened after it so that the output stays nested.
    void Close(TTag tag)
    {
        for (auto i = fOpen.size(); i-- > 0;) {
            if (fOpen[i].Tag == TTag::Frame)
                return;
            if (fOpen[i].Tag != tag)
                continue;
            const std::vector<TOpenTag> reopened(fOpen.begin() + static_cast<std::ptrdiff_t>(i) + 1, fOpen.end());
            for (auto j = fOpen.size(); j-- > i;)
                Element(fOpen[j].Closing);
            fOpen.resize(i);
            for (const TOpenTag& open : reopened)
                Open(open.Tag, open.Opening, open.Closing);
            return;
        }
    }

    void OpenFrame(const TFrame& frame)
    {
        if (fRowPending) {
            fRowPending = false;
            fHtml += CellOpening(frame);
        } else {
            Element(QStringLiteral("<table cellspacing=\"0\" cellpadding=\"0\" style=\"margin:%1px; border-style:none\"><tr>")
                        .arg(frame.Margin)
                    + CellOpening(frame));
        }
        fOpen.push_back({TTag::Frame, {}, {}});
    }

    void CloseFrame()
    {
        for (auto i = fOpen.size(); i-- > 0;) {
            if (fOpen[i].Tag != TTag::Frame)
                continue;
            for (auto j = fOpen.size(); j-- > i + 1;)
                Element(fOpen[j].Closing);
            fOpen.resize(i);
            Element(QStringLiteral("</td>"));
            fRowPending = true;
            return;
        }
    }

    QString Finish()
    {
        while (!fOpen.empty()) {
            if (fOpen.back().Tag == TTag::Frame) {
                CloseFrame();
            } else {
                Element(fOpen.back().Closing);
                fOpen.pop_back();
            }
        }
        FlushRow();
        return QStringLiteral("<div style=\"white-space:pre-wrap\">%1</div>").arg(fHtml);
    }

private:
    struct TOpenTag {
        TTag Tag;
        QString Opening;
        QString Closing;
    };

    void FlushRow()
    {
        if (fRowPending) {
            fRowPending = false;
            fHtml += QLatin1String("</tr></table>");
        }
    }

    QString fHtml;
    std::vector<TOpenTag> fOpen;
    bool fRowPending = false; // a framed block has just closed; its row is still open
};

enum class TTagKind {
    OpenBold,
    CloseBold,
    OpenBackground,
    CloseBackground,
    LineBreak,
    Rule,
    OpenSubscript,
    CloseSubscript,
    OpenFrame,
    CloseFrame
};

struct TMarkupTag {
    TTagKind Kind;
    QString Colour;  // OpenBackground
    int Width = 0;   // Rule: pixels, 0 for the full width
    TFrame Frame;    // OpenFrame
};

// Reads the text between the angle brackets; nothing when it is no tag of the markup.
std::optional<TMarkupTag> ParseTag(const QString& tag)
{
    const QString name = tag.section(u':', 0, 0).toLower();
    if (!tag.contains(u':')) {
        static const std::pair<const char*, TTagKind> plain[] = {
            {"b", TTagKind::OpenBold},          {"/b", TTagKind::CloseBold},
            {"/bc", TTagKind::CloseBackground}, {"br", TTagKind::LineBreak},
            {"sub", TTagKind::OpenSubscript},   {"/sub", TTagKind::CloseSubscript},
            {"div", TTagKind::OpenFrame},       {"/div", TTagKind::CloseFrame},
        };
        for (const auto& [text, kind] : plain)
            if (name == QLatin1String(text))
                return TMarkupTag{kind, {}, 0, {}};
        return std::nullopt;
    }
    const QString parameters = tag.section(u':', 1);
    if (name == QLatin1String("bc") && IsHtmlColour(parameters))
        return TMarkupTag{TTagKind::OpenBackground, parameters, 0, {}};
    if (name == QLatin1String("div"))
        return TMarkupTag{TTagKind::OpenFrame, {}, 0, ParseFrame(parameters)};
    if (name == QLatin1String("line") && parameters.section(u'=', 0, 0).trimmed().toLower() == QLatin1String("width")) {
        const QString width = parameters.section(u'=', 1).trimmed();
        if (width.toLower() == QLatin1String("full"))
            return TMarkupTag{TTagKind::Rule, {}, 0, {}};
        bool ok = false;
        const int pixels = width.toInt(&ok);
        if (ok && pixels > 0)
            return TMarkupTag{TTagKind::Rule, {}, pixels, {}};
    }
    return std::nullopt;
}

void Apply(const TMarkupTag& tag, RichTextWriter& out)
{
    switch (tag.Kind) {
    case TTagKind::OpenBold:
        out.Open(TTag::Bold, QStringLiteral("<b>"), QStringLiteral("</b>"));
        break;
    case TTagKind::CloseBold:
        out.Close(TTag::Bold);
        break;
    case TTagKind::OpenBackground:
        out.Open(TTag::Background, QStringLiteral("<span style=\"background-color:%1\">").arg(tag.Colour),
                 QStringLiteral("</span>"));
        break;
    case TTagKind::CloseBackground:
        out.Close(TTag::Background);
        break;
    case TTagKind::LineBreak:
        out.Element(QStringLiteral("<br/>"));
        break;
    case TTagKind::Rule:
        // Rich text centres a horizontal ruler and lets it run past the cell it stands in; a
        // rule of fixed width is therefore a left-aligned table whose only cell, of that width,
        // draws its top border (a width on the table itself is not kept inside a cell).
        out.Element(tag.Width > 0 ? QStringLiteral("<table cellspacing=\"0\" cellpadding=\"0\" "
                                                   "style=\"margin:0px; border-style:none\"><tr><td width=\"%1\" "
                                                   "style=\"border-top:1px solid #808080; font-size:1px\"></td>"
                                                   "</tr></table>")
                                        .arg(tag.Width)
                                  : QStringLiteral("<hr/>"));
        break;
    case TTagKind::OpenSubscript:
        out.Open(TTag::Subscript, QStringLiteral("<sub>"), QStringLiteral("</sub>"));
        break;
    case TTagKind::CloseSubscript:
        out.Close(TTag::Subscript);
        break;
    case TTagKind::OpenFrame:
        out.OpenFrame(tag.Frame);
        break;
    case TTagKind::CloseFrame:
        out.CloseFrame();
        break;
    }
}

} // namespace

std::span<const THelpEntry> HelpTable()
{
    return HelpEntries;
}

QString HelpTextForControl(const QString& controlName)
{
    for (const THelpEntry& entry : HelpEntries)
        if (controlName == QLatin1String(entry.Key))
            return QString::fromUtf8(entry.Text);
    if (controlName.contains(QLatin1String(DynamicSetpointKeyPart)))
        return QString::fromUtf8(DynamicSetpointText);
    return QString::fromUtf8(GeneralHintText);
}

QString FluidListHelpText()
{
    return QString::fromUtf8(FluidListText);
}

QString PredefinedConditionsHelpText()
{
    return QString::fromUtf8(PredefinedConditionsText);
}

QString HelpMarkupToRichText(const QString& markup)
{
    RichTextWriter out;
    qsizetype textStart = 0;
    qsizetype i = 0;
    while (i < markup.size()) {
        if (markup.at(i) != u'<') {
            ++i;
            continue;
        }
        // A tag runs to the next '>' and holds no further '<'; otherwise the '<' is plain text.
        qsizetype end = i + 1;
        while (end < markup.size() && markup.at(end) != u'>' && markup.at(end) != u'<')
            ++end;
        if (end < markup.size() && markup.at(end) == u'>') {
            if (const auto tag = ParseTag(markup.mid(i + 1, end - i - 1))) {
                out.Text(QStringView(markup).mid(textStart, i - textStart));
                Apply(*tag, out);
                textStart = end + 1;
            }
            i = end + 1;
        } else {
            i = end;
        }
    }
    out.Text(QStringView(markup).mid(textStart));
    return out.Finish();
}
