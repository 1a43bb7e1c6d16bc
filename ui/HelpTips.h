#pragma once
// Help tips: the text for the control under the mouse pointer, looked up by the control's
// name, and the small markup the texts are written in, turned into Qt rich text for the tip
// area (RichTextLabel).
//
// Markup: <B>..</B> bold, <BC:#RRGGBB>..</BC> background colour, <BR> line break,
// <LINE:width=250> / <LINE:width=full> horizontal rule, <SUB>..</SUB> subscript,
// <div:thick=1,lncolor=#000000, margin=2, pad_top=2>..</div> framed block. Tag names are
// read without regard to letter case; anything else in angle brackets is shown as written.
#include <QString>
#include <span>

struct THelpEntry {
    const char* Key;  // control name, compared exactly (letter case included)
    const char* Text; // markup
};

// The help table in look-up order.
std::span<const THelpEntry> HelpTable();

// The text for a control of the given name: the first table entry whose key equals the name;
// otherwise the designer's setpoint-box text when the name contains "DoubleEditDynamic_";
// otherwise the general hint.
QString HelpTextForControl(const QString& controlName);

// Shown when the pointer enters a fluid list of the Configure page.
QString FluidListHelpText();
// Shown when the pointer enters the predefined reference-conditions list.
QString PredefinedConditionsHelpText();

// Qt rich text for a markup text. Characters outside tags appear as written, doubled and
// trailing blanks included. Unbalanced tags are tolerated: a closing tag without its opening
// one is dropped, and whatever is still open at the end is closed. Adjacent framed blocks
// stand side by side, as columns of one row.
QString HelpMarkupToRichText(const QString& markup);
