// What a backup file holds, set by set.

#include "cli.h"

#include "backupfile/document.h"

#include <cstdio>
#include <memory>

namespace Cli {

int commandContents(const QString &path)
{
    auto document = std::make_unique<Document>();
    bool damaged = false;
    if (!openDocument(path, *document, &damaged))
        return Failed;
    std::printf("serial %s\nsoftware %s\n", qPrintable(document->sourceSerial),
                qPrintable(document->sourceSoftware));
    for (int set = 0; set < Catalogue::DataSetCount; ++set) {
        if (!document->image.presentSets[size_t(set)])
            continue;
        const Catalogue::Entry &e = Catalogue::entry(set);
        if (e.statusOffset < 0) {
            std::printf("%s block\n", e.key);
            continue;
        }
        int count = 0;
        for (int n = 0; n < e.records; ++n)
            count += document->image.recordStatus[size_t(e.statusOffset + n)] > 0;
        std::printf("%s %d\n", e.key, count);
    }
    std::fflush(stdout);
    return damaged ? Failed : Done;
}

} // namespace Cli
