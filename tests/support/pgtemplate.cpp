#include "postgresserver.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

// Makes the data folder that the suite's PostgreSQL servers start from, once per run.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    QString error;
    if (!PostgresServer::makeTemplate(arguments.at(1), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
