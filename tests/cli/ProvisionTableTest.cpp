// The provisioning table and report on their own: CSV as spreadsheets write it, rows checked whole
// against the template, report lines, and the hash a line records.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/Csv.h"
#include "cli/ExitCode.h"
#include "cli/ProvisionTable.h"
#include "cli/Sha256.h"

namespace zorvik::cli {
namespace {

std::vector<std::vector<std::string>> Fields(std::string_view text) {
    std::vector<std::vector<std::string>> fields;
    for (const CsvRecord& record : ParseCsv(text)) {
        fields.push_back(record.fields);
    }
    return fields;
}

using Rows = std::vector<std::vector<std::string>>;

TEST(Csv, ReadsQuotedCommasQuotesAndLineBreaksWithEitherLineEnd) {
    EXPECT_EQ(Fields("\xEF\xBB\xBFid,note\r\n1,\"a, \"\"b\"\"\nc\"\r\n\r\n2,\n3,x"),
              (Rows{{"id", "note"}, {"1", "a, \"b\"\nc"}, {"2", ""}, {"3", "x"}}));
    EXPECT_EQ(Fields(""), Rows{});
    EXPECT_EQ(Fields("a,\n"), (Rows{{"a", ""}}));
}

TEST(Csv, NamesTheLineOfAQuoteOutOfPlace) {
    const auto lineOf = [](std::string_view text) {
        try {
            (void)ParseCsv(text);
        } catch (const CsvError& error) {
            return error.Line();
        }
        return 0;
    };
    EXPECT_EQ(lineOf("a\nb\"c\n"), 2);      // a quote inside a plain field
    EXPECT_EQ(lineOf("a\n\"b\"c\n"), 2);    // text after a closing quote
    EXPECT_EQ(lineOf("a\n\n\"b\nc\n"), 3);  // never closed: where it opened
}

TEST(Csv, WrittenLinesReadBackAsTheSameFields) {
    const std::vector<std::string> fields = {"2026-12-09T07:40:12Z", "A,1", "say \"hi\"",
                                             "two\nlines", ""};
    EXPECT_EQ(CsvLine(fields), "2026-12-09T07:40:12Z,\"A,1\",\"say \"\"hi\"\"\",\"two\nlines\",\n");
    EXPECT_EQ(Fields(CsvLine(fields)), Rows{fields});
}

TEST(Sha256, MatchesTheStandardsTestVectors) {
    const auto hex = [](std::string_view text) {
        return Sha256Hex(
            std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    };
    EXPECT_EQ(hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 56 bytes: the length no longer fits the first block.
    EXPECT_EQ(hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

// The table's error, or the empty text when it is taken.
std::string TableError(std::string_view table) {
    try {
        (void)ReadProvisionTable(table, "t.csv", DefaultConfiguration());
    } catch (const CliError& error) {
        EXPECT_EQ(error.Code(), Exit::FileError);
        return error.what();
    }
    return {};
}

TEST(ProvisionTable, AppliesEachRowsValuesOnTheTemplateAndLeavesEmptyCellsToIt) {
    Configuration base = DefaultConfiguration();
    base.reports.intervalHours = 6;
    base.telephones[0] = {true, "48600000000"};
    const std::vector<ProvisionRow> rows = ReadProvisionTable(
        "id,password,new_password,phone.1.number,report.interval_hours\n"
        "north,1111,2222,+48600000001,\n"
        ",,,,24\n",
        "t.csv", base);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].id, "north");
    EXPECT_EQ(rows[0].password, std::u16string(u"1111"));
    EXPECT_EQ(rows[0].newPassword, std::u16string(u"2222"));
    EXPECT_EQ(rows[0].image[15], 0x8B);
    EXPECT_EQ(std::string(rows[0].image.begin() + 16, rows[0].image.begin() + 27), "48600000001");
    EXPECT_EQ(rows[0].image[116], 6);
    EXPECT_EQ(rows[1].id, "2");
    EXPECT_FALSE(rows[1].password);
    EXPECT_FALSE(rows[1].newPassword);
    EXPECT_EQ(std::string(rows[1].image.begin() + 16, rows[1].image.begin() + 27), "48600000000");
    EXPECT_EQ(rows[1].image[116], 24);
}

TEST(ProvisionTable, RefusesTheWholeTableNamingTheRowAndColumnOfTheFirstFault) {
    const struct {
        const char* table;
        const char* names;
    } cases[] = {
        {"id,report.interval_hours\na,12\nb,49\n", "row 2, column report.interval_hours"},
        {"id,phone.1.nmber\na,+48\n", "\"phone.1.nmber\""},
        {"id,gsm.network,gsm.network\n", "column gsm.network: given twice"},
        {"id,gsm.network\na,roaming,x\n", "row 1: 3 cells where the header has 2"},
        {"id,password\na,123\n", "row 1, column password"},
        {"id,new_password\na,12345\n", "row 1, column new_password"},
        {"id\nx\ny\nx\n", "row 3, column id: \"x\" is also the id of row 1"},
        {"id,password\n", "no rows"},
        {"", "empty"},
        {"id\n\"x\n", "line 2"},
        {"id;new_password\na;\xB9\xE6"
         "ab\n",
         "not UTF-8 text"},  // a Polish spreadsheet's CP1250
        {"id;new_password\na;\xC4\x85"
         "bcd\n",
         "row 1, column new_password: a new access"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        const std::string error = TableError(c.table);
        EXPECT_NE(error.find(c.names), std::string::npos) << error;
        EXPECT_TRUE(error.starts_with("t.csv: ")) << error;
    }
    EXPECT_EQ(TableError("report.interval_hours\n48\n"), "");
}

TEST(ProvisionTable, TakesSemicolonsFromTheHeaderAndNamesValuesTheDeviceWillNotHold) {
    const std::vector<ProvisionRow> rows = ReadProvisionTable(
        "\xEF\xBB\xBFid;port;phone.2.number;report.interval_hours\n"
        "a;COM7;+48600;\"7\"\n"
        "\"b;c\";;;8\n",
        "t.csv", DefaultConfiguration(), {"timing.red.seconds"});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].port, std::string("COM7"));
    EXPECT_EQ(rows[1].id, "b;c");
    EXPECT_FALSE(rows[1].port);
    EXPECT_EQ(rows[1].image[116], 8);
    // phone.2 is not in use and a Wardeno keeps no timings; report.interval_hours is held.
    ASSERT_EQ(rows[0].notHeld.size(), 2u);
    EXPECT_EQ(rows[0].notHeld[0],
              "row 1, column phone.2.number: the device will not hold phone.2.number = +48600; "
              "it will store phone.2.number =");
    EXPECT_TRUE(rows[0].notHeld[1].starts_with("row 1 (timing.red.seconds from the template)"))
        << rows[0].notHeld[1];
    EXPECT_EQ(rows[1].notHeld.size(), 1u);
}

TEST(ProvisionReport, ResumeTakesTheRowsWithAnOkLineAndRefusesAnotherKindOfFile) {
    ReportLine failed{"2026-12-09T07:40:12Z",  "A,1", "COM41", "", false, 5,
                      "wrong access password", ""};
    ReportLine ok{"2026-12-09T07:41:00Z", "B", "COM42", "/dev/serial/by-id/x", true, 0, "written",
                  std::string(64, 'a')};
    ReportLine halfway{"2026-12-09T07:42:00Z",
                       "C",
                       "COM43",
                       "",
                       false,
                       4,
                       "no answer; the device may hold the new password: try it first",
                       ""};
    for (const char separator : {',', ';'}) {
        const std::string report =
            CsvLine(ReportColumns(), separator) + FormatReportLine(failed, separator) +
            FormatReportLine(ok, separator) + FormatReportLine(halfway, separator);
        const ReportHistory history = ReadReport(report, "r.csv");
        EXPECT_EQ(history.separator, separator);
        EXPECT_EQ(history.done, std::set<std::string>{"B"});
        EXPECT_EQ(history.doneImages.at(std::string(64, 'a')), "B");
        EXPECT_EQ(history.mayHoldNewPassword, std::set<std::string>{"C"});
    }
    EXPECT_EQ(ReadReport("", "r.csv").done, std::set<std::string>{});
    EXPECT_THROW((void)ReadReport("id,phone.1.number\n", "r.csv"), CliError);
    EXPECT_THROW((void)ReadReport(CsvLine(ReportColumns()) + "x,ok\n", "r.csv"), CliError);
}

// A cell a spreadsheet would run is written inert and read back as it was.
TEST(ProvisionReport, FormulaCellsAreWrittenWithAQuoteAndReadBackWithout) {
    for (const std::string id : {"=HYPERLINK(\"x\")", "+1", "-1", "@a", "\tx", "\rx", "'a", "ok"}) {
        SCOPED_TRACE(id);
        ReportLine ok{"t", id, "COM41", "", true, 0, "written", ""};
        const std::string line = FormatReportLine(ok);
        const bool inert = id != "ok";
        EXPECT_EQ(ParseCsv(line).at(0).fields.at(1), inert ? "'" + id : id);
        EXPECT_EQ(ReadReport(CsvLine(ReportColumns()) + line, "r.csv").done,
                  std::set<std::string>{id});
    }
}

}  // namespace
}  // namespace zorvik::cli
