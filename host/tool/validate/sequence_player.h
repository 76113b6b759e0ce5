// What runs inside a child: the plug-in's facts for the run, or one
// sequence of operations played against a fresh instance with every check.
#pragma once

#include <string>

#include "host/tool/validate/child_report.h"
#include "host/tool/validate/operation.h"

// Loads the module, makes one instance, reads its record and names.
void readPluginFacts(const std::string& modulePath, ChildReport& report, ChildProgress& progress);

// Plays the operations on an instance made through the entry, then closes
// it. maxLevel is the loudest output allowed from clean input, linear.
void playSequence(const std::string& modulePath, const OperationList& operations, double maxLevel,
                  ChildReport& report, ChildProgress& progress);
