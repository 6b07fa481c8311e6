#pragma once

#include <QStringList>

class QTextStream;

namespace vantor::tools {

// vantor-db import FILE DATA [options]: reads results from a text file into
// a database, printing the preview; writes only with --yes. Returns the
// exit status (0 done, 1 failed, 2 wrong arguments).
int runImportCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);

} // namespace vantor::tools
