#include "ui/HelpTips.h"

#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <gtest/gtest.h>

namespace {

const QString GeneralHint = QStringLiteral("Hover mouse over items (or adjacent labels) to see help, tips and information.");
const QString DynamicHint = QStringLiteral("Manually entering the flow gives more precission, allowing fractions.");

TEST(HelpTips, LookupOrderByExactNameThenDynamicBoxThenGeneralHint)
{
    struct Case {
        const char* name;
        QString expected;
    };
    const Case cases[] = {
        {"ListViewSegmentProgram",
         QStringLiteral("Right mouse click to load or save segment program to a (text) file, for the selected device.")},
        {"MemoMain", QStringLiteral("Log and feedback of software use.")},
        {"listviewsegmentprogram", GeneralHint}, // letter case counts
        {"ListViewSegmentProgram ", GeneralHint},
        {"LabelDeviceName", GeneralHint},
        {"", GeneralHint},
        {"BitBtn7", GeneralHint},
        {"DoubleEditDynamic_COM6", DynamicHint},
        {"RtDoubleEditDynamic_COMX", DynamicHint},
        {"TrackBarDesignerDynamic_COM6", GeneralHint},
        // A key wins over the dynamic-box rule, and "DoubleEdit" alone is not that rule.
        {"RtDoubleEditDesignMixTime",
         QStringLiteral("Manually entering the time gives more precission, allowing fractions, and specifying times "
                        "after the last segment.")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HelpTextForControl(QString::fromLatin1(c.name)), c.expected) << c.name;
}

TEST(HelpTips, TableKeepsItsOrderAndDoubledAndTrailingBlanks)
{
    const auto table = HelpTable();
    ASSERT_EQ(table.size(), 25u);
    EXPECT_STREQ(table.front().Key, "ButtonFlushGas");
    EXPECT_STREQ(table.back().Key, "ScrollBoxFlow");
    EXPECT_TRUE(HelpTextForControl("ButtonApplyConfiguration").contains("reset)  allows a <BC:#FF0000> small amount"));
    EXPECT_TRUE(HelpTextForControl("ButtonDirectControlStop").endsWith("selected devices.</BC> "));
    EXPECT_TRUE(HelpTextForControl("ButtonDeviceInitialize").endsWith("allow some gas flow.</bc>"));
    EXPECT_TRUE(FluidListHelpText().startsWith("All<SUB>1</SUB> gases and fluids"));
    EXPECT_TRUE(FluidListHelpText().contains("First 9 characters long \"shortname\".<BR>"));
    EXPECT_TRUE(PredefinedConditionsHelpText().contains("the \"right\" reference conditions"));
}

std::unique_ptr<QTextDocument> Render(const QString& markup)
{
    auto document = std::make_unique<QTextDocument>();
    document->setHtml(HelpMarkupToRichText(markup));
    return document;
}

// Character format of the first occurrence of `text` in the document.
QTextCharFormat FormatOf(const QTextDocument& document, const QString& text)
{
    const QTextCursor found = document.find(text);
    EXPECT_FALSE(found.isNull()) << text.toStdString();
    QTextCursor at(found);
    at.setPosition(found.selectionStart() + 1);
    return at.charFormat();
}

TEST(HelpMarkup, InlineTagsSetTheirFormats)
{
    struct Case {
        const char* markup;
        const char* plain;
        const char* target; // a piece of text to look at
        bool bold;
        QColor background;  // invalid: none
        bool subscript;
    };
    const QColor none;
    const Case cases[] = {
        {"a <B>bold</B> c", "a bold c", "bold", true, none, false},
        {"a <b>bold</b> c", "a bold c", "bold", true, none, false},
        {"a <B>bold</B> plain", "a bold plain", "plain", false, none, false},
        {"<BC:#FFFF00>caution</BC> x", "caution x", "caution", false, QColor(255, 255, 0), false},
        {"<BC:#FF0000>warning</bc> x", "warning x", "warning", false, QColor(255, 0, 0), false},
        {"<bc:#00ff00>unit</BC> x", "unit x", "unit", false, QColor(0, 255, 0), false},
        {"All<SUB>1</SUB> gases", "All1 gases", "1", false, none, true},
        {"<B>unclosed bold", "unclosed bold", "unclosed", true, none, false},
        {"</B>stray close", "stray close", "stray", false, none, false},
        // Overlapping tags stay apart: "b" is bold and subscript, "c" only subscript.
        {"<B>a<SUB>b</B>c</SUB>", "abc", "c", false, none, true},
        {"<B>a<SUB>b</B>c</SUB>", "abc", "b", true, none, true},
    };
    for (const Case& c : cases) {
        const auto document = Render(QString::fromLatin1(c.markup));
        EXPECT_EQ(document->toPlainText(), QString::fromLatin1(c.plain)) << c.markup;
        const QTextCharFormat format = FormatOf(*document, QString::fromLatin1(c.target));
        EXPECT_EQ(format.fontWeight() >= QFont::Bold, c.bold) << c.markup;
        const QBrush background = format.background();
        if (c.background.isValid())
            EXPECT_EQ(background.color(), c.background) << c.markup;
        else
            EXPECT_EQ(background.style(), Qt::NoBrush) << c.markup;
        EXPECT_EQ(format.verticalAlignment() == QTextCharFormat::AlignSubScript, c.subscript) << c.markup;
    }
}

TEST(HelpMarkup, EverythingOutsideTagsIsShownAsWritten)
{
    struct Case {
        const char* markup;
        const char* plain;
    };
    const Case cases[] = {
        {"two  blanks and a trailing one ", "two  blanks and a trailing one "},
        {"a < b > c & d \"q\"", "a < b > c & d \"q\""},
        {"<X>unknown tag", "<X>unknown tag"},
        {"<BC:#GGGGGG>bad colour</BC>", "<BC:#GGGGGG>bad colour"},
        {"<LINE:width=abc>", "<LINE:width=abc>"},
        {"1 <<B>2</B>", "1 <2"},
        {"&lt; stays", "&lt; stays"},
        {"x<BR>y<br>z", "x\ny\nz"},
        {"<", "<"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Render(QString::fromLatin1(c.markup))->toPlainText(), QString::fromLatin1(c.plain)) << c.markup;
}

// A rule of fixed width: a one-cell table without text whose cell draws only its top border.
bool IsRule(const QTextTable* table)
{
    if (!table || table->rows() != 1 || table->columns() != 1)
        return false;
    const QTextTableCell cell = table->cellAt(0, 0);
    const QTextTableCellFormat format = cell.format().toTableCellFormat();
    return cell.firstCursorPosition() == cell.lastCursorPosition() && format.topBorder() == 1
           && format.leftBorder() == 0 && format.bottomBorder() == 0;
}

// Widths of the rules in document order: a fixed width in pixels, or -1 for the full width.
void CollectRuleWidths(QTextFrame& frame, std::vector<double>& widths)
{
    for (auto it = frame.begin(); !it.atEnd(); ++it) {
        if (QTextFrame* child = it.currentFrame()) {
            auto* table = qobject_cast<QTextTable*>(child);
            if (!IsRule(table)) {
                CollectRuleWidths(*child, widths);
                continue;
            }
            EXPECT_FALSE(table->format().alignment() & (Qt::AlignHCenter | Qt::AlignRight)); // starts at the left
            const QList<QTextLength> columns = table->format().columnWidthConstraints();
            EXPECT_EQ(columns.size(), 1);
            if (columns.size() == 1 && columns[0].type() == QTextLength::FixedLength)
                widths.push_back(columns[0].rawValue());
        } else if (it.currentBlock().blockFormat().hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth)) {
            widths.push_back(-1);
        }
    }
}

std::vector<double> RuleWidths(const QTextDocument& document)
{
    std::vector<double> widths;
    CollectRuleWidths(*document.rootFrame(), widths);
    return widths;
}

TEST(HelpMarkup, LinesAreRulesOfTheirWidth)
{
    const auto document = Render("a<LINE:width=250>b<LINE:width=full>c<line:WIDTH=150>");
    EXPECT_EQ(RuleWidths(*document), (std::vector<double>{250, -1, 150}));
}

std::vector<QTextTable*> Tables(const QTextDocument& document)
{
    std::vector<QTextTable*> tables;
    for (QTextFrame* frame : document.rootFrame()->childFrames())
        if (auto* table = qobject_cast<QTextTable*>(frame); table && !IsRule(table))
            tables.push_back(table);
    return tables;
}

TEST(HelpMarkup, FramedBlocksBecomeBorderedCellsSideBySide)
{
    const auto document = Render(
        "<div:thick_top=1,thick_left=1,thick_bottom=1,lncolor=#000000, margin=2, pad_top=2>A</div>"
        "<div:thick=3,lncolor=#FF0000, margin=2, pad_top=0>B</div>after<div:thick=1>C</div>");
    const auto tables = Tables(*document);
    ASSERT_EQ(tables.size(), 2u);
    ASSERT_EQ(tables[0]->columns(), 2);
    EXPECT_EQ(tables[0]->format().margin(), 2);
    const QTextTableCellFormat a = tables[0]->cellAt(0, 0).format().toTableCellFormat();
    EXPECT_EQ(a.topBorder(), 1);
    EXPECT_EQ(a.leftBorder(), 1);
    EXPECT_EQ(a.bottomBorder(), 1);
    EXPECT_EQ(a.rightBorder(), 0);
    EXPECT_EQ(a.topPadding(), 2);
    EXPECT_EQ(a.topBorderBrush().color(), QColor(Qt::black));
    const QTextTableCellFormat b = tables[0]->cellAt(0, 1).format().toTableCellFormat();
    EXPECT_EQ(b.rightBorder(), 3);
    EXPECT_EQ(b.leftBorderBrush().color(), QColor(Qt::red));
    EXPECT_EQ(tables[1]->columns(), 1);
    EXPECT_TRUE(document->toPlainText().contains("after"));
}

TEST(HelpMarkup, UnclosedFrameAndTagsInsideItAreClosed)
{
    const auto document = Render("<div:thick=1><B>inside");
    ASSERT_EQ(Tables(*document).size(), 1u);
    EXPECT_GE(FormatOf(*document, "inside").fontWeight(), QFont::Bold);
}

// Every text of the program renders with all its tags understood.
TEST(HelpMarkup, AllHelpTextsRender)
{
    static const QRegularExpression tag(QStringLiteral("<[^<>]*>"));
    for (const THelpEntry& entry : HelpTable()) {
        const QString markup = QString::fromUtf8(entry.Text);
        QString expected = markup;
        expected.replace(QRegularExpression(QStringLiteral("<BR>"), QRegularExpression::CaseInsensitiveOption),
                         QStringLiteral("\n"));
        expected.remove(tag);
        EXPECT_EQ(Render(markup)->toPlainText(), expected) << entry.Key;
    }
    for (const QString& text : {FluidListHelpText(), PredefinedConditionsHelpText()}) {
        const auto document = Render(text);
        EXPECT_FALSE(document->toPlainText().contains(u'<')) << text.left(30).toStdString();
        EXPECT_FALSE(document->toPlainText().contains(u'>')) << text.left(30).toStdString();
    }
    const auto fluid = Render(FluidListHelpText());
    const auto tables = Tables(*fluid);
    ASSERT_EQ(tables.size(), 1u);
    EXPECT_EQ(tables[0]->columns(), 3); // short name, formula, long name side by side
    EXPECT_EQ(RuleWidths(*fluid), (std::vector<double>{250, 200, 200, 150}));
    EXPECT_EQ(RuleWidths(*Render(PredefinedConditionsHelpText())), (std::vector<double>{-1}));
}

} // namespace
