// The CSV reader and writer of the provisioning table and report.
#include "cli/Csv.h"

#include "config/Utf8.h"

namespace zorvik::cli {

namespace {

constexpr char kQuote = '"';
constexpr char kInertMark = '\'';
constexpr std::string_view kFormulaStarts = "=+-@\t\r";  // what a spreadsheet may run

class Reader {
public:
    Reader(std::string_view text, char separator) : text_(text), separator_(separator) {
        if (text_.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark) {
            at_ = kUtf8ByteOrderMark.size();
        }
    }

    std::vector<CsvRecord> Records() {
        std::vector<CsvRecord> records;
        while (!AtEnd()) {
            if (EndOfLineHere()) {
                SkipEndOfLine();
                continue;
            }
            records.push_back(Record());
        }
        return records;
    }

private:
    [[nodiscard]] bool AtEnd() const { return at_ >= text_.size(); }

    // A line ends at LF, or at CR followed by LF or by the end of the text.
    [[nodiscard]] bool EndOfLineHere() const {
        if (AtEnd()) {
            return false;
        }
        if (text_[at_] == '\n') {
            return true;
        }
        return text_[at_] == '\r' && (at_ + 1 == text_.size() || text_[at_ + 1] == '\n');
    }

    void SkipEndOfLine() {
        at_ += text_[at_] == '\r' && at_ + 1 < text_.size() ? 2 : 1;
        ++line_;
    }

    CsvRecord Record() {
        CsvRecord record{line_, {}};
        while (true) {
            record.fields.push_back(AtEnd() || text_[at_] != kQuote ? Plain() : Quoted());
            if (AtEnd()) {
                return record;
            }
            if (text_[at_] == separator_) {
                ++at_;
                if (AtEnd()) {
                    record.fields.emplace_back();
                    return record;
                }
                continue;
            }
            SkipEndOfLine();
            return record;
        }
    }

    std::string Plain() {
        std::string field;
        while (!AtEnd() && text_[at_] != separator_ && !EndOfLineHere()) {
            if (text_[at_] == kQuote) {
                throw CsvError(line_, "a quote inside a field that does not start with one");
            }
            field += text_[at_++];
        }
        return field;
    }

    std::string Quoted() {
        const int start = line_;
        std::string field;
        ++at_;
        while (true) {
            if (AtEnd()) {
                throw CsvError(start, "a quoted field is not closed");
            }
            const char c = text_[at_++];
            if (c == kQuote) {
                if (!AtEnd() && text_[at_] == kQuote) {
                    field += kQuote;
                    ++at_;
                    continue;
                }
                break;
            }
            if (c == '\n') {
                ++line_;
            }
            field += c;
        }
        if (!AtEnd() && text_[at_] != separator_ && !EndOfLineHere()) {
            throw CsvError(line_, "text after a closing quote");
        }
        return field;
    }

    std::string_view text_;
    char separator_;
    std::size_t at_ = 0;
    int line_ = 1;
};

}  // namespace

char CsvSeparatorOf(std::string_view text) {
    int commas = 0;
    int semicolons = 0;
    bool quoted = false;
    for (const char c : text) {
        if (c == kQuote) {
            quoted = !quoted;
        } else if (!quoted && (c == '\n' || c == '\r')) {
            break;
        } else if (!quoted) {
            commas += c == kComma ? 1 : 0;
            semicolons += c == kSemicolon ? 1 : 0;
        }
    }
    return semicolons > commas ? kSemicolon : kComma;
}

std::vector<CsvRecord> ParseCsv(std::string_view text, char separator) {
    return Reader(text, separator).Records();
}

std::string CsvField(std::string_view text, char separator) {
    // A field that starts with a byte-order mark is quoted: at the start of a file the reader
    // would take the mark for the editor's and drop it.
    const char special[] = {separator, kQuote, '\r', '\n'};
    if (text.find_first_of(std::string_view(special, sizeof special)) == std::string_view::npos &&
        !text.starts_with(kUtf8ByteOrderMark)) {
        return std::string(text);
    }
    std::string quoted(1, kQuote);
    for (const char c : text) {
        quoted += c;
        if (c == kQuote) {
            quoted += kQuote;
        }
    }
    return quoted + kQuote;
}

std::string CsvLine(const std::vector<std::string>& fields, char separator) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i != 0) {
            line += separator;
        }
        line += CsvField(fields[i], separator);
    }
    return line + "\n";
}

std::string InertCell(std::string_view text) {
    // A cell that already starts with the mark gets one more, so that reading takes off exactly
    // one and gives back what was written.
    if (!text.empty() && (kFormulaStarts.find(text.front()) != std::string_view::npos ||
                          text.front() == kInertMark)) {
        return kInertMark + std::string(text);
    }
    return std::string(text);
}

std::string LiveCell(std::string_view cell) {
    return cell.starts_with(kInertMark) ? std::string(cell.substr(1)) : std::string(cell);
}

}  // namespace zorvik::cli
