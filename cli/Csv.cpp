// The CSV reader and writer of the provisioning table and report.
#include "cli/Csv.h"

namespace zorvik::cli {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";  // how some editors start UTF-8
constexpr char kQuote = '"';
constexpr char kSeparator = ',';

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {
        if (text_.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
            at_ = kByteOrderMark.size();
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
            if (text_[at_] == kSeparator) {
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
        while (!AtEnd() && text_[at_] != kSeparator && !EndOfLineHere()) {
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
        if (!AtEnd() && text_[at_] != kSeparator && !EndOfLineHere()) {
            throw CsvError(line_, "text after a closing quote");
        }
        return field;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    int line_ = 1;
};

}  // namespace

std::vector<CsvRecord> ParseCsv(std::string_view text) {
    return Reader(text).Records();
}

std::string CsvField(std::string_view text) {
    // A field that starts with a byte-order mark is quoted: at the start of a file the reader
    // would take the mark for the editor's and drop it.
    if (text.find_first_of(",\"\r\n") == std::string_view::npos &&
        !text.starts_with(kByteOrderMark)) {
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

std::string CsvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        line += (i == 0 ? "" : ",") + CsvField(fields[i]);
    }
    return line + "\n";
}

}  // namespace zorvik::cli
