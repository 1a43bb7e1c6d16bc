#include "core/InstrumentEntries.h"

#include <gtest/gtest.h>

namespace {

const char* const ValidController = "[instrument]\n"
                                    "serial = 142003\n"
                                    "type = MFC-A\n"
                                    "name = Blendor 1\n"
                                    "colour = Red\n"
                                    "full_scale_sccm = 5000\n";

TEST(InstrumentFile, ReadsEveryFieldOfControllersAndPumps)
{
    const InstrumentFileContent content = ParseInstrumentFile(QStringLiteral(
        "# the lab's instruments\r\n"
        "\r\n"
        "[instrument]\r\n"
        "serial = 142003\r\n"
        "TYPE = mfc-b\r\n"
        "name = Blendor 1 = the left one\r\n"
        "full_scale_sccm = 50.5\r\n"
        "segment = 0.5 20 Ramp\r\n"
        "segment = 4 0 Step\r\n"
        "; a pump without the optional fields\r\n"
        "[Instrument]\r\n"
        "serial = PSD4 23011002\r\n"
        "type = Pump\r\n"
        "colour = #00ff80\r\n"
        "syringe_ul = 25\r\n"));
    ASSERT_TRUE(content.Errors.empty()) << content.Errors.front().Reason.toStdString();
    ASSERT_EQ(content.Entries.size(), 2u);
    const InstrumentEntry& controller = content.Entries[0];
    EXPECT_EQ(controller.Line, 3);
    EXPECT_EQ(controller.Serial, "142003");
    EXPECT_EQ(controller.Kind, InstrumentKind::MFCB);
    EXPECT_EQ(controller.Name, "Blendor 1 = the left one");
    EXPECT_EQ(controller.Color, 0xFF0000FFu); // a position's usual colour when none is given
    EXPECT_DOUBLE_EQ(controller.FullScale_sccm, 50.5);
    EXPECT_EQ(controller.Segments, QStringList({"0.5 20 Ramp", "4 0 Step"}));
    const InstrumentEntry& pump = content.Entries[1];
    EXPECT_TRUE(pump.IsPump());
    EXPECT_EQ(pump.Serial, "PSD4 23011002");
    EXPECT_EQ(pump.Color, 0xFF00FF80u);
    EXPECT_EQ(pump.Syringe_ul, 25);
    EXPECT_EQ(pump.FluidTemperatureC, 21);
    EXPECT_EQ(pump.MaxFlow_ulpm, 1000);
    EXPECT_TRUE(pump.Segments.isEmpty());
}

TEST(InstrumentFile, EveryErrorNamesItsLineAndField)
{
    struct Case {
        const char* text;
        int line;
        const char* field;
        const char* reason; // a part of the reason
    };
    const Case cases[] = {
        {"serial = 142003\n", 1, "serial", "before the first [instrument]"},
        {"[instrument]\nserial = 142003\ntype = MFC-A\nfull_scale_sccm = 50\nname Blendor\n", 5, "name Blendor", "not a \"field = value\" line"},
        {"[instruments]\n", 1, "[instruments]", "unknown section"},
        {"[instrument]\nserial = 142003\ntype = MFC-E\nfull_scale_sccm = 50\n", 3, "type", "unknown type \"MFC-E\""},
        {"[instrument]\nserial = 142003\nfull_scale_sccm = 50\n", 1, "type", "missing"},
        {"[instrument]\ntype = MFC-A\nfull_scale_sccm = 50\n", 1, "serial", "missing"},
        {"[instrument]\nserial = 142\ntype = MFC-A\nfull_scale_sccm = 50\n", 2, "serial", "at least 4 digits"},
        {"[instrument]\nserial = PSD4\ntype = Pump\nsyringe_ul = 25\n", 2, "serial", "at least 4 digits"},
        {"[instrument]\nserial = 142003\ntype = MFC-A\n", 1, "full_scale_sccm", "missing"},
        {"[instrument]\nserial = 142003\ntype = MFC-A\nfull_scale_sccm = 5,0\n", 4, "full_scale_sccm", "not a positive number"},
        {"[instrument]\nserial = 142003\ntype = MFC-A\nfull_scale_sccm = 0\n", 4, "full_scale_sccm", "not a positive number"},
        {"[instrument]\nserial = 142003\ntype = MFC-A\nfull_scale_sccm = nan\n", 4, "full_scale_sccm", "not a positive number"},
        {"[instrument]\nserial = 23011002\ntype = Pump\n", 1, "syringe_ul", "missing"},
        {"[instrument]\nserial = 23011002\ntype = Pump\nsyringe_ul = 25\nfluid_temperature_c = warm\n", 5, "fluid_temperature_c", "not a number"},
        {"[instrument]\nserial = 23011002\ntype = Pump\nsyringe_ul = 25\nfull_scale_sccm = 50\n", 5, "full_scale_sccm", "not a field of a pump"},
        {"[instrument]\nserial = 142003\ntype = MFC-A\nfull_scale_sccm = 50\nsyringe_ul = 25\n", 5, "syringe_ul", "not a field of a controller"},
        {"[instrument]\nserial = 142003\ntype = MFC-A\nfull_scale_sccm = 50\ncolour = Mauve\n", 5, "colour", "no standard colour name"},
        {"[instrument]\nserial = 142003\ntype = MFC-A\nfull_scale_sccm = 50\nfullscale = 50\n", 5, "fullscale", "unknown field"},
        {"[instrument]\nserial = 142003\ntype = MFC-A\ntype = MFC-B\nfull_scale_sccm = 50\n", 4, "type", "given twice (first at line 3)"},
        // Two entries of one instrument, even when one names the pump's model.
        {"[instrument]\nserial = 23011002\ntype = Pump\nsyringe_ul = 25\n\n[instrument]\ntype = Pump\nserial = PSD4 23011002\nsyringe_ul = 25\n",
         8, "serial", "already that of the entry at line 1"},
    };
    for (const Case& c : cases) {
        const InstrumentFileContent content = ParseInstrumentFile(QString::fromUtf8(c.text));
        ASSERT_EQ(content.Errors.size(), 1u) << c.text;
        const InstrumentFileError& error = content.Errors.front();
        EXPECT_EQ(error.Line, c.line) << c.text;
        EXPECT_EQ(error.Field, QString::fromUtf8(c.field)) << c.text;
        EXPECT_TRUE(error.Reason.contains(QString::fromUtf8(c.reason))) << c.text << " gave " << error.Reason.toStdString();
    }
}

// A segment line is checked when the file is read, by the segment editor's rules: the findings
// it would show, in its order, name the line; the entry is not used.
TEST(InstrumentFile, SegmentLinesAreCheckedAsTheEditorChecksThem)
{
    struct Case {
        const char* segment;
        const char* findings; // empty: a good line
    };
    const Case cases[] = {
        {"1 20 step Purge_first", ""},
        {"0 100 RAMP", ""},
        {"0.5 20 Rmp", "Invalid S/R"},
        {"0.5 20", "Invalid element count"},
        {"1 2 Step a b", "Invalid element count"},
        {"0.5  20 Ramp", "Invalid S/R"}, // split at every single blank: "0.5", "", "20", "RAMP"
        {"1,5 20 Step", "Invalid time format"},
        {"x y Ramp", "Invalid time format; Invalid setpoint format"},
        {"x 120 Ramp", "Invalid time format; Setpoint out of bounds:120"},
        {"-1 20 Step", "Time out of bounds: -1"},
        {"1 100.5 Step", "Setpoint out of bounds:100.5"},
        {"1 -0.1 Step", "Setpoint out of bounds:-0.1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.segment);
        const QString segment = QString::fromUtf8(c.segment);
        const InstrumentFileContent content =
            ParseInstrumentFile(QString::fromUtf8(ValidController) + QStringLiteral("segment = 0 10 Step\nsegment = ") + segment + u'\n');
        if (*c.findings == 0) {
            ASSERT_TRUE(content.Errors.empty()) << content.Errors.front().Reason.toStdString();
            ASSERT_EQ(content.Entries.size(), 1u);
            EXPECT_EQ(content.Entries[0].Segments, QStringList({QStringLiteral("0 10 Step"), segment}));
            continue;
        }
        ASSERT_EQ(content.Errors.size(), 1u);
        EXPECT_EQ(content.Errors[0].Line, 8);
        EXPECT_EQ(content.Errors[0].Field, QStringLiteral("segment"));
        EXPECT_EQ(content.Errors[0].Reason,
                  QStringLiteral("\"") + segment + QStringLiteral("\" is no segment line: ") + QString::fromUtf8(c.findings));
        EXPECT_TRUE(content.Entries.empty());
    }
}

TEST(InstrumentFile, ReportsEveryErrorInLineOrderAndKeepsNoEntryOfAFaultySection)
{
    const InstrumentFileContent content = ParseInstrumentFile(QStringLiteral(
        "[instrument]\nserial = 12\ntype = Pump\n" // line 1: serial too short, syringe missing
        "[instrument]\nserial = 142003\ntype = MFC-A\nfull_scale_sccm = 50\n"
        "nonsense\n"));
    ASSERT_EQ(content.Errors.size(), 3u);
    EXPECT_EQ(content.Errors[0].Line, 1);
    EXPECT_EQ(content.Errors[0].Field, "syringe_ul");
    EXPECT_EQ(content.Errors[1].Line, 2);
    EXPECT_EQ(content.Errors[2].Line, 8);
    ASSERT_EQ(content.Entries.size(), 1u);
    EXPECT_EQ(content.Entries[0].Serial, "142003");
}

TEST(InstrumentFile, WrittenTextReadsBackAsTheSameEntries)
{
    InstrumentEntry controller = ParseInstrumentFile(QString::fromUtf8(ValidController)).Entries.at(0);
    controller.Segments = {QStringLiteral("0.5 20 Ramp"), QStringLiteral("12 100 Step Some_random_comment")};
    InstrumentEntry pump;
    pump.Serial = QStringLiteral("PSD4 23011001");
    pump.Kind = InstrumentKind::Pump;
    pump.Name = QStringLiteral("Prototype");
    pump.Color = 0xFFA52A2A; // no standard name: written as #RRGGBB
    pump.Syringe_ul = 12.5;
    pump.FluidTemperatureC = -3.25;
    pump.MaxFlow_ulpm = 312.5;

    const QString text = InstrumentFileText({controller, pump});
    EXPECT_TRUE(text.startsWith(u'#'));
    EXPECT_TRUE(text.contains(QStringLiteral("colour = #A52A2A\n")));
    const InstrumentFileContent read = ParseInstrumentFile(text);
    ASSERT_TRUE(read.Errors.empty());
    ASSERT_EQ(read.Entries.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        const InstrumentEntry& original = i == 0 ? controller : pump;
        const InstrumentEntry& back = read.Entries[i];
        EXPECT_EQ(back.Serial, original.Serial);
        EXPECT_EQ(back.Kind, original.Kind);
        EXPECT_EQ(back.Name, original.Name);
        EXPECT_EQ(back.Color, original.Color);
        EXPECT_EQ(back.FullScale_sccm, original.FullScale_sccm);
        EXPECT_EQ(back.Syringe_ul, original.Syringe_ul);
        EXPECT_EQ(back.FluidTemperatureC, original.FluidTemperatureC);
        EXPECT_EQ(back.MaxFlow_ulpm, original.MaxFlow_ulpm);
        EXPECT_EQ(back.Segments, original.Segments);
    }
}

TEST(SerialNumbers, MatchOnlyAsWholeNumbers)
{
    EXPECT_EQ(SerialNumberOf(QStringLiteral("PSD4 23011001")), "23011001");
    EXPECT_EQ(SerialNumberOf(QStringLiteral("142001")), "142001");
    EXPECT_EQ(SerialNumberOf(QStringLiteral("SN 142001-B")), "142001");
    EXPECT_EQ(SerialNumberOf(QStringLiteral("PSD")), "");

    struct Case {
        const char* serial;
        const char* text;
        bool match;
    };
    const Case cases[] = {
        {"142001", "142001", true},
        {"142001", "A M05 Serial Number 142001", true},
        {"142001", "A 142001 7.02R", true},
        {"142001", "A M05 Serial Number 142001\r", true},
        {"PSD4 23011001", "23011001", true},
        {"PSD4 23011001", "psd4 23011001", true},
        {"142001", "1", false},
        {"142001", "1420", false},
        {"142001", "14200", false},
        {"142001", "1420011", false},
        {"142001", "9142001", false},
        {"142001", "A 1420019 142001", true}, // a later occurrence that stands alone
        {"PSD4 23011001", "4", false},
        {"PSD4 23011001", "2301100", false},
        {"PSD4 23011001", "230110011", false},
        {"142001", "", false},
        {"PSD", "PSD", false}, // a serial without a number matches nothing
    };
    for (const Case& c : cases)
        EXPECT_EQ(SerialNumberIn(QString::fromLatin1(c.serial), QString::fromLatin1(c.text)), c.match)
            << c.serial << " in \"" << c.text << '"';
}

} // namespace
