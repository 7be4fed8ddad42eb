#include "utils/EbookReflow.h"

#include "platform/orrin/CodePage.h"

namespace Tessor::utils {

namespace {

constexpr int kLine = EBOOK_LINE_BYTES;

class Text {
public:
    Text(const unsigned char* bytes, int32_t length) : m_bytes(bytes), m_length(length) {}

    // Positions past the end are neither letters nor lead bytes.
    bool isLead(int32_t at) const { return at < m_length && CodePage::isLeadByte(m_bytes[at]); }
    bool isLetter(int32_t at) const
    {
        if (at >= m_length) {
            return false;
        }
        const unsigned char b = m_bytes[at];
        return (b >= 0x41 && b <= 0x5A) || (b >= 0x61 && b <= 0x7A);
    }
    bool isPlainLetter(int32_t at) const { return isLetter(at) && !isLead(at); }
    unsigned char operator[](int32_t at) const { return m_bytes[at]; }
    int32_t length() const { return m_length; }

private:
    const unsigned char* m_bytes;
    int32_t m_length;
};

// Offset 0..20 from p of the first CR LF that lies wholly in the text; -1 when none.
int lineEndWithin(const Text& text, int32_t p)
{
    for (int i = 0; i <= kLine && p + i + 1 < text.length(); ++i) {
        if (text[p + i] == 0x0D && text[p + i + 1] == 0x0A) {
            return i;
        }
    }
    return -1;
}

// The bytes to put on the line starting at p, when it ends with a marker.
int markedLineLength(const Text& text, int32_t p)
{
    const int32_t last = p + kLine - 1;
    if (text.isLead(last)) {
        int leads = 0;
        while (leads < kLine && text.isLead(last - leads)) {
            ++leads;
        }
        if (leads % 2 == 1) {
            return kLine - 1;  // the last byte starts a double-byte character
        }
    }
    const int32_t ahead = p + kLine;
    if (text.isPlainLetter(ahead) && text.isLetter(last) && !text.isLead(p + kLine - 2)) {
        int tail = 0;
        while (tail < kLine && text.isPlainLetter(last - tail)) {
            ++tail;
        }
        int head = 0;
        while (head < kLine && text.isPlainLetter(ahead + head)) {
            ++head;
        }
        if (tail + head < kLine) {
            return kLine - tail;  // the word starts the next line
        }
    }
    return kLine;
}

}  // namespace

void reflowEbookText(const unsigned char* source, int32_t length, std::vector<unsigned char>* output)
{
    const Text text(source, length);
    int32_t p = 0;
    while (p < length) {
        if (length - p <= kLine) {
            output->insert(output->end(), source + p, source + length);
            return;
        }
        const int lineEnd = lineEndWithin(text, p);
        if (lineEnd >= 0) {
            output->insert(output->end(), source + p, source + p + lineEnd + 2);
            p += lineEnd + 2;
            continue;
        }
        const int take = markedLineLength(text, p);
        output->insert(output->end(), source + p, source + p + take);
        output->push_back(EBOOK_LINE_MARKER);
        p += take;
    }
}

}  // namespace Tessor::utils
