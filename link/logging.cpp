#include "logging.h"

Q_LOGGING_CATEGORY(lcLink, "gleistron.link")
Q_LOGGING_CATEGORY(lcData, "gleistron.datasets")
Q_LOGGING_CATEGORY(lcFile, "gleistron.backupfile")
Q_LOGGING_CATEGORY(lcRoutes, "gleistron.routes")
Q_LOGGING_CATEGORY(lcLsb, "gleistron.lsbupdate")
Q_LOGGING_CATEGORY(lcUi, "gleistron.ui")
