#pragma once

#include "TestSupport.h"

#include "engine/JdbcURLParser.h"
#include "engine/LiveConnection.h"

#include <QString>
#include <ostream>

inline void PrintTo(const DatabaseConnection &c, std::ostream *os)
{
    *os << '{' << idText(c.id).toStdString() << ' ' << c.name.toStdString() << ' '
        << rawValue(c.type).toStdString() << ' ' << c.host.toStdString() << ':' << c.port << '/'
        << c.database.toStdString() << ' ' << c.username.toStdString() << '}';
}

inline void PrintTo(const ParsedJdbcURL &url, std::ostream *os)
{
    *os << '{' << rawValue(url.type).toStdString() << ' ' << url.host.toStdString() << ':'
        << url.port << '/' << url.database.toStdString() << " user "
        << url.username.value_or(QStringLiteral("-")).toStdString() << " password "
        << url.password.value_or(QStringLiteral("-")).toStdString() << '}';
}
