#pragma once
// The platform operations that the service tests make fail, by name: the
// fake platform fails them on demand, and the fault injection tests go
// through every call of them that a collection run makes.

namespace rulo::test {

enum class Op {
  readRegistryValue, createRegistryKey, setRegistryValue,
  pathExists, isDirectory, createDirectory, createUniqueFile, copyFile, moveFile, replaceFile, deleteFile,
  setNormalAttributes, fileSize, readFile, listFiles,
  createProcess, processExitCode,
  registerEventSource, appendTraceLine, moduleFileName,
  openServiceManager, openService, createService, deleteService, startService, queryServiceStatus,
  startServiceCtrlDispatcher, registerServiceCtrlHandler, setServiceStatus,
};

inline const char* OpName(Op op) {
  static const char* const names[] = {
      "readRegistryValue", "createRegistryKey", "setRegistryValue", "pathExists", "isDirectory",
      "createDirectory", "createUniqueFile", "copyFile", "moveFile", "replaceFile", "deleteFile", "setNormalAttributes",
      "fileSize", "readFile", "listFiles", "createProcess", "processExitCode", "registerEventSource",
      "appendTraceLine", "moduleFileName", "openServiceManager", "openService", "createService",
      "deleteService", "startService", "queryServiceStatus", "startServiceCtrlDispatcher",
      "registerServiceCtrlHandler", "setServiceStatus"};
  return names[static_cast<int>(op)];
}

}  // namespace rulo::test
