#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace kelvo::cp1250 {

// Text travels to and from the server in the Central European Windows code page.
// These two functions are the one place where it is converted.
QString decode(const char* data, qsizetype size);
inline QString decode(const QByteArray& bytes) { return decode(bytes.constData(), bytes.size()); }

// The bytes of `text`, or nothing when it holds a character the code page
// lacks; `badChar` then receives the first such character.
std::optional<QByteArray> encode(const QString& text, QChar* badChar = nullptr);

} // namespace kelvo::cp1250
