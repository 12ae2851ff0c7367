#pragma once
// A class of the repository as MOF declares it, with every qualifier of the
// class and of each property (their values as MOF writes them, flavors left
// out), after comment lines that say where it is declared and what its keys
// are:
//   // Korvex_Disk of root\cimv2, declared at korvex.mof:86
//   // keys: DeviceID
//   [dynamic, provider("qrvcim")]
//   class Korvex_Disk
//   {
//   	[key] string DeviceID;
//   	string Partitions[];
//   };
// An inherited property shows the class that declares it in a comment.

#include <string>

#include "host/cim/ClassDefinition.h"

namespace wmihost {

std::string classDeclarationText(const ClassDefinition& definition);

}  // namespace wmihost
