#pragma once
// The ODBC driver manager's declarations as this program uses them: the
// wide-character calls by their explicit W names, the diagnostics through
// the narrow SQLGetDiagRec. SQL_NOUNICODEMAP keeps UNICODE from renaming
// the narrow calls.

#ifndef SQL_NOUNICODEMAP
#define SQL_NOUNICODEMAP
#endif

#include <windows.h>

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>
