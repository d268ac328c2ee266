#pragma once

#include "datasets/transferevent.h"
#include "workflows/sessionproblem.h"

#include <QString>

// A transfer session's reports as the console shows them.
QString transferEventHtml(const TransferEvent &event);
// Why a restore sent nothing; empty when there is no problem.
QString sessionProblemHtml(const SessionProblem &problem);
