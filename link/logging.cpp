#include "logging.h"

// The debug lines are for a support case: off unless asked for, with QT_LOGGING_RULES
// ("gleistron.*.debug=true") or the command-line tool's --debug.

Q_LOGGING_CATEGORY(lcLink, "gleistron.link", QtInfoMsg)
Q_LOGGING_CATEGORY(lcData, "gleistron.datasets", QtInfoMsg)
Q_LOGGING_CATEGORY(lcFile, "gleistron.backupfile", QtInfoMsg)
Q_LOGGING_CATEGORY(lcRoutes, "gleistron.routes", QtInfoMsg)
Q_LOGGING_CATEGORY(lcLsb, "gleistron.lsbupdate", QtInfoMsg)
Q_LOGGING_CATEGORY(lcUi, "gleistron.ui", QtInfoMsg)
