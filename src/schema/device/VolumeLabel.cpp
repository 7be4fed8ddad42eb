#include "schema/device/VolumeLabel.h"

#include <cstring>

#include "platform/orrin/CodePage.h"

namespace Tessor::schema {

namespace {

constexpr char kForbidden[] = "\"*+,./:;<=>?[\\]|";

// Bytes of the character that starts at `at`.
size_t characterBytes(const std::string& text, size_t at)
{
    return CodePage::isLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

}  // namespace

VolumeLabel::VolumeLabel(const std::string& narrow) : m_text(narrow)
{
    std::string readable;
    if (!CodePage::toUtf8(m_text, &readable)) {
        m_refusal = "volume label is not a text of the code page (GBK)";
        m_fault = Fault::NOT_CODE_PAGE;
        return;
    }
    if (!m_text.empty() && m_text[0] == ' ') {
        m_refusal = "volume label \"" + readable + "\" starts with a blank";
        m_fault = Fault::LEADING_BLANK;
        return;
    }
    for (size_t at = 0; at < m_text.size(); at += characterBytes(m_text, at)) {
        const char c = m_text[at];
        if (characterBytes(m_text, at) != 1) {
            continue;
        }
        const bool control = static_cast<unsigned char>(c) < 0x20;
        if (control || std::strchr(kForbidden, c) != nullptr) {
            const std::string shown = control ? "a control character" : "'" + std::string(1, c) + "'";
            m_refusal = "volume label \"" + readable + "\" holds " + shown + ", which FAT does not allow in a label";
            m_fault = control ? Fault::CONTROL_CHARACTER : Fault::FORBIDDEN_CHARACTER;
            m_forbidden = c;
            return;
        }
    }
}

std::string VolumeLabel::field() const
{
    std::string bytes = m_text.empty() ? "NO NAME" : "";
    for (size_t at = 0; at < m_text.size();) {
        const size_t n = characterBytes(m_text, at);
        if (bytes.size() + n > BYTES) {
            break;
        }
        bytes.append(m_text, at, n);
        at += n;
    }
    bytes.resize(BYTES, ' ');
    return bytes;
}

}  // namespace Tessor::schema
