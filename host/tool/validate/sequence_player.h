// What runs inside a child: the plug-in's facts for the run, or one
// sequence of operations played against a fresh instance with every check.
#pragma once

#include <string>

#include "host/tool/validate/child_report.h"
#include "host/tool/validate/operation.h"

// Loads the module, makes one instance, reads its record, its names and
// whether it takes notes. logFd: where --log's lines go, -1 for none.
void readPluginFacts(const std::string& modulePath, ChildReport& report, ChildProgress& progress, int logFd);

struct PlayOptions {
    double maxLevel = 100.0;  // the loudest output allowed from clean input, linear
    int logFd = -1;           // where --log's lines go; -1 for none
};

// Plays the operations on an instance made through the entry, then closes it.
void playSequence(const std::string& modulePath, const OperationList& operations, const PlayOptions& options,
                  ChildReport& report, ChildProgress& progress);
