#pragma once

#include <QString>
#include <QStringList>
#include <ostream>

// Readable GoogleTest failure output for Qt text types (found by argument-
// dependent lookup, so they live in the global namespace as the types do).
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << "{\n";
    for (const QString& text : list)
        *os << "  \"" << text.toStdString() << "\"\n";
    *os << "}";
}
