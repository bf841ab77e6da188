#pragma once

#include <QString>

#include <string_view>

namespace runtime {

// The program keeps its texts as UTF-8 in standard strings, which Qt shows as QStrings.
inline QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace runtime
