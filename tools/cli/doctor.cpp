// doctor: what keeps this machine from reaching the station; looks only, changes nothing.

#include "cli.h"

#include "link/portdoctor.h"

#include <cstdio>

namespace Cli {

int commandDoctor()
{
    QList<PortDoctor::Finding> findings = PortDoctor::examine();
    findings << PortDoctor::askStation();
    bool problem = false;
    for (const PortDoctor::Finding &finding : findings) {
        std::printf("%s\n", qPrintable(PortDoctor::line(finding)));
        problem = problem || finding.kind == PortDoctor::Finding::Problem;
    }
    std::fflush(stdout);
    return problem ? Failed : Done;
}

} // namespace Cli
