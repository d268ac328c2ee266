#pragma once

#include "workflows/sessionreport.h"

#include <QString>

// A transfer session's reports as the console shows them.
QString sessionEventHtml(const SessionEvent &event);
// Why a restore sent nothing; empty when there is no problem.
QString sessionProblemHtml(const SessionProblem &problem);
