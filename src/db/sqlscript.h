#pragma once

#include "db/connection.h"

namespace kelvo {

// Runs every statement of a .sql file such as schema.sql and seed.sql: a
// statement ends with ';' at the end of a line, lines starting "--" are
// comments. Throws DbError when the file cannot be read or a statement fails.
void runSqlScript(Connection& connection, const QString& path);

} // namespace kelvo
