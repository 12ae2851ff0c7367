#include "host/cli/HresultName.h"

#include <cstdio>
#include <unordered_map>

namespace wmihost {

namespace {

struct Described {
  std::string_view name;
  std::string_view meaning;
};

#define QRV_CODE(code, meaning) {static_cast<HRESULT>(code), {#code, meaning}}
#define QRV_WIN32(number, name, meaning) \
  {static_cast<HRESULT>(0x80070000u | (number)), {name, "Win32 error " #number ": " meaning}}
#define QRV_OTHER(value, name, meaning) {static_cast<HRESULT>(value##u), {name, meaning}}

const std::unordered_map<HRESULT, Described> kCodes{
    QRV_CODE(E_NOTIMPL, "the operation is not implemented"),
    QRV_CODE(E_NOINTERFACE, "the object does not offer the interface asked for"),
    QRV_CODE(E_POINTER, "a pointer argument is null or invalid"),
    QRV_CODE(E_FAIL, "the operation failed without saying why"),
    QRV_CODE(E_UNEXPECTED, "a failure the caller could not have expected"),
    QRV_CODE(E_ACCESSDENIED, "Win32 error 5: access is denied"),
    QRV_CODE(E_HANDLE, "Win32 error 6: the handle is invalid"),
    QRV_CODE(E_OUTOFMEMORY, "Win32 error 14: not enough memory to complete the operation"),
    QRV_CODE(E_INVALIDARG, "Win32 error 87: an argument is invalid"),
    QRV_OTHER(0x80004004, "E_ABORT", "the operation was aborted"),
    QRV_OTHER(0x8000000A, "E_PENDING", "the data needed is not yet available"),
    QRV_CODE(CLASS_E_NOAGGREGATION, "the class cannot be created as part of an aggregate"),
    QRV_CODE(CLASS_E_CLASSNOTAVAILABLE, "the module's class factory does not offer this CLSID"),
    QRV_CODE(REGDB_E_CLASSNOTREG, "the class is not registered: no InprocServer32 entry for its CLSID"),
    QRV_OTHER(0x80040150, "REGDB_E_READREGDB", "the registry could not be read"),
    QRV_OTHER(0x80040151, "REGDB_E_WRITEREGDB", "the registry could not be written"),
    QRV_OTHER(0x80040152, "REGDB_E_KEYMISSING", "a registry key is missing"),
    QRV_OTHER(0x80040200, "SELFREG_E_TYPELIB", "the module could not register its type library"),
    QRV_OTHER(0x80040201, "SELFREG_E_CLASS", "the module could not register its classes"),
    QRV_CODE(CO_E_NOTINITIALIZED, "COM is not initialised on this thread"),
    QRV_OTHER(0x800401F1, "CO_E_ALREADYINITIALIZED", "COM is already initialised on this thread"),
    QRV_OTHER(0x800401F3, "CO_E_CLASSSTRING", "the CLSID text is invalid"),
    QRV_OTHER(0x800401F8, "CO_E_DLLNOTFOUND", "the module registered for the class cannot be found"),
    QRV_OTHER(0x800401F9, "CO_E_ERRORINDLL", "the module registered for the class is not a valid module"),
    QRV_CODE(CO_E_OBJNOTREG, "the object is not registered"),
    QRV_OTHER(0x80080005, "CO_E_SERVER_EXEC_FAILURE", "the server process could not be started"),
    QRV_CODE(DISP_E_TYPEMISMATCH, "a value has a type that cannot be converted to the one needed"),
    QRV_CODE(DISP_E_BADVARTYPE, "a VARIANT has a type that is not valid"),
    QRV_OTHER(0x8002000A, "DISP_E_OVERFLOW", "a value does not fit the type it is converted to"),
    QRV_CODE(DISP_E_BADINDEX, "an array index is out of range"),
    QRV_CODE(DISP_E_ARRAYISLOCKED, "the array is locked"),
    QRV_OTHER(0x8002801D, "TYPE_E_LIBNOTREGISTERED", "the type library is not registered"),
    QRV_CODE(TYPE_E_ELEMENTNOTFOUND, "the type library has no such element"),
    QRV_OTHER(0x80029C4A, "TYPE_E_CANTLOADLIBRARY", "the type library could not be loaded"),
    QRV_OTHER(0x80010001, "RPC_E_CALL_REJECTED", "the callee rejected the call"),
    QRV_OTHER(0x80010002, "RPC_E_CALL_CANCELED", "the call was cancelled"),
    QRV_OTHER(0x80010105, "RPC_E_SERVERFAULT", "the server raised an exception while it ran the call"),
    QRV_OTHER(0x80010106, "RPC_E_CHANGED_MODE", "COM was initialised on this thread in another apartment model"),
    QRV_OTHER(0x80010108, "RPC_E_DISCONNECTED", "the object has disconnected from its clients"),
    QRV_OTHER(0x8001010A, "RPC_E_SERVERCALL_RETRYLATER", "the server is busy: retry the call later"),
    QRV_OTHER(0x8001010E, "RPC_E_WRONG_THREAD", "the interface was marshalled for another thread"),
    QRV_OTHER(0x8001010F, "RPC_E_THREAD_NOT_INIT", "COM is not initialised on the calling thread"),
    QRV_CODE(RPC_E_CALL_COMPLETE, "there is no client call to impersonate: the call is complete or never began"),
    QRV_OTHER(0x80010119, "RPC_E_TOO_LATE", "security must be set before any interface is marshalled"),
    QRV_OTHER(0x8001011B, "RPC_E_ACCESS_DENIED", "the call's security check failed"),
    QRV_OTHER(0x8001011F, "RPC_E_TIMEOUT", "the call timed out"),
    QRV_OTHER(0x8001FFFF, "RPC_E_UNEXPECTED", "an internal error of the RPC layer"),
    QRV_WIN32(2, "ERROR_FILE_NOT_FOUND", "the file cannot be found"),
    QRV_WIN32(3, "ERROR_PATH_NOT_FOUND", "the path cannot be found"),
    QRV_WIN32(8, "ERROR_NOT_ENOUGH_MEMORY", "not enough memory to run the command"),
    QRV_WIN32(32, "ERROR_SHARING_VIOLATION", "another process holds the file open"),
    QRV_WIN32(50, "ERROR_NOT_SUPPORTED", "the request is not supported"),
    QRV_WIN32(122, "ERROR_INSUFFICIENT_BUFFER", "the buffer is too small"),
    QRV_WIN32(126, "ERROR_MOD_NOT_FOUND", "a module cannot be found"),
    QRV_WIN32(127, "ERROR_PROC_NOT_FOUND", "the module lacks the entry point"),
    QRV_WIN32(193, "ERROR_BAD_EXE_FORMAT", "the file is not a valid module for this system"),
    QRV_WIN32(258, "WAIT_TIMEOUT", "the wait timed out"),
    QRV_WIN32(1004, "ERROR_INVALID_FLAGS", "the flags are invalid"),
    QRV_WIN32(1008, "ERROR_NO_TOKEN", "the thread has no token: it is not impersonating"),
    QRV_WIN32(1113, "ERROR_NO_UNICODE_TRANSLATION", "the text has no mapping in the target code page"),
    QRV_WIN32(1309, "ERROR_NO_IMPERSONATION_TOKEN", "the thread is not impersonating a client"),
    QRV_WIN32(1314, "ERROR_PRIVILEGE_NOT_HELD", "the caller lacks a privilege the operation needs"),
    QRV_WIN32(1346, "ERROR_BAD_IMPERSONATION_LEVEL", "the client's impersonation level is too low"),
    QRV_WIN32(1347, "ERROR_CANT_OPEN_ANONYMOUS",
              "an anonymous-level token cannot be opened: the client allowed anonymous impersonation only"),
    QRV_WIN32(1460, "ERROR_TIMEOUT", "the operation timed out"),
    QRV_WIN32(1717, "RPC_S_UNKNOWN_IF", "the server does not know the interface"),
    QRV_WIN32(1722, "RPC_S_SERVER_UNAVAILABLE", "the RPC server is unavailable"),
    QRV_WIN32(1726, "RPC_S_CALL_FAILED", "the remote call failed"),
    QRV_WIN32(1727, "RPC_S_CALL_FAILED_DNE", "the remote call failed and did not run"),
    QRV_CODE(WBEM_S_NO_ERROR, "success"),
    QRV_CODE(WBEM_S_FALSE, "success, with a negative answer: the call did not do or find what it looked for"),
    QRV_CODE(WBEM_S_ALREADY_EXISTS, "success: the object already existed"),
    QRV_CODE(WBEM_S_RESET_TO_DEFAULT, "success: the value was reset to its default"),
    QRV_CODE(WBEM_S_DIFFERENT, "success: the objects compared are different"),
    QRV_CODE(WBEM_S_TIMEDOUT, "the call timed out before it could finish"),
    QRV_CODE(WBEM_S_NO_MORE_DATA, "success: no more objects remain"),
    QRV_CODE(WBEM_S_OPERATION_CANCELLED, "the operation was cancelled"),
    QRV_CODE(WBEM_S_PENDING, "the request is still running"),
    QRV_CODE(WBEM_S_DUPLICATE_OBJECTS, "success, with the same object delivered more than once"),
    QRV_CODE(WBEM_S_ACCESS_DENIED, "partial success: some objects were withheld for lack of access"),
    QRV_CODE(WBEM_S_PARTIAL_RESULTS, "partial success: some of the result is missing"),
    QRV_CODE(WBEM_S_SOURCE_NOT_AVAILABLE, "partial success: a source of the result was unavailable"),
    QRV_CODE(WBEM_E_FAILED, "the call failed without saying why"),
    QRV_CODE(WBEM_E_NOT_FOUND, "the object or class was not found"),
    QRV_CODE(WBEM_E_ACCESS_DENIED,
             "access denied: the caller lacks the rights, or the provider could not reach a file it needs"),
    QRV_CODE(WBEM_E_PROVIDER_FAILURE, "the provider failed in a way it could not describe"),
    QRV_CODE(WBEM_E_TYPE_MISMATCH, "a value does not suit the property's CIM type"),
    QRV_CODE(WBEM_E_OUT_OF_MEMORY, "not enough memory for the operation"),
    QRV_CODE(WBEM_E_INVALID_CONTEXT, "the context object is not valid"),
    QRV_CODE(WBEM_E_INVALID_PARAMETER, "an argument of the call is not valid"),
    QRV_CODE(WBEM_E_NOT_AVAILABLE, "the resource is not available now"),
    QRV_CODE(WBEM_E_CRITICAL_ERROR, "an internal, critical error"),
    QRV_CODE(WBEM_E_INVALID_STREAM, "the object's binary form is damaged"),
    QRV_CODE(WBEM_E_NOT_SUPPORTED, "the operation is not supported"),
    QRV_CODE(WBEM_E_INVALID_SUPERCLASS, "the base class named does not exist"),
    QRV_CODE(WBEM_E_INVALID_NAMESPACE, "the namespace does not exist"),
    QRV_CODE(WBEM_E_INVALID_OBJECT, "the object is not valid"),
    QRV_CODE(WBEM_E_INVALID_CLASS, "the class does not exist in the namespace"),
    QRV_CODE(WBEM_E_PROVIDER_NOT_FOUND, "no provider is registered for the class"),
    QRV_CODE(WBEM_E_INVALID_PROVIDER_REGISTRATION, "the provider's registration is not valid"),
    QRV_CODE(WBEM_E_PROVIDER_LOAD_FAILURE, "the provider could not be loaded"),
    QRV_CODE(WBEM_E_INITIALIZATION_FAILURE, "a component failed to initialise"),
    QRV_CODE(WBEM_E_TRANSPORT_FAILURE, "the network or transport failed"),
    QRV_CODE(WBEM_E_INVALID_OPERATION, "the operation is not valid for this object"),
    QRV_CODE(WBEM_E_INVALID_QUERY, "the query is not valid"),
    QRV_CODE(WBEM_E_INVALID_QUERY_TYPE, "the query language is not supported"),
    QRV_CODE(WBEM_E_ALREADY_EXISTS, "the object already exists"),
    QRV_CODE(WBEM_E_OVERRIDE_NOT_ALLOWED, "an inherited qualifier may not be overridden"),
    QRV_CODE(WBEM_E_PROPAGATED_QUALIFIER, "the qualifier is inherited and cannot be changed here"),
    QRV_CODE(WBEM_E_PROPAGATED_PROPERTY, "the property is inherited and cannot be changed here"),
    QRV_CODE(WBEM_E_UNEXPECTED, "an unexpected internal failure"),
    QRV_CODE(WBEM_E_ILLEGAL_OPERATION, "the operation is not allowed, such as a put of a system property"),
    QRV_CODE(WBEM_E_CANNOT_BE_KEY, "the property cannot be a key"),
    QRV_CODE(WBEM_E_INCOMPLETE_CLASS, "the class is incomplete: it was fetched without all of its parts"),
    QRV_CODE(WBEM_E_INVALID_SYNTAX, "the query's syntax is not valid"),
    QRV_CODE(WBEM_E_NONDECORATED_OBJECT, "the object lacks its server and namespace"),
    QRV_CODE(WBEM_E_READ_ONLY, "the property is read-only"),
    QRV_CODE(WBEM_E_PROVIDER_NOT_CAPABLE,
             "the provider cannot carry out the request: a bad registration, stylesheet or result, or a missing key"),
    QRV_CODE(WBEM_E_CLASS_HAS_CHILDREN, "the class has derived classes"),
    QRV_CODE(WBEM_E_CLASS_HAS_INSTANCES, "the class has instances"),
    QRV_CODE(WBEM_E_QUERY_NOT_IMPLEMENTED, "the query is not implemented"),
    QRV_CODE(WBEM_E_ILLEGAL_NULL, "a value that may not be NULL is NULL"),
    QRV_CODE(WBEM_E_INVALID_QUALIFIER_TYPE, "the qualifier's type is not valid"),
    QRV_CODE(WBEM_E_INVALID_PROPERTY_TYPE, "the property's type is not valid"),
    QRV_CODE(WBEM_E_VALUE_OUT_OF_RANGE, "a value is out of range for its type"),
    QRV_CODE(WBEM_E_CANNOT_BE_SINGLETON, "the class cannot be a singleton"),
    QRV_CODE(WBEM_E_INVALID_CIM_TYPE, "the CIM type is not valid"),
    QRV_CODE(WBEM_E_INVALID_METHOD, "the method is not valid"),
    QRV_CODE(WBEM_E_INVALID_METHOD_PARAMETERS, "the method's parameters are not valid"),
    QRV_CODE(WBEM_E_SYSTEM_PROPERTY, "system properties cannot be changed"),
    QRV_CODE(WBEM_E_INVALID_PROPERTY, "the property does not exist"),
    QRV_CODE(WBEM_E_CALL_CANCELLED, "the call was cancelled"),
    QRV_CODE(WBEM_E_SHUTTING_DOWN, "WMI is shutting down"),
    QRV_CODE(WBEM_E_PROPAGATED_METHOD, "the method is inherited and cannot be changed here"),
    QRV_CODE(WBEM_E_UNSUPPORTED_PARAMETER, "a parameter is not supported"),
    QRV_CODE(WBEM_E_MISSING_PARAMETER_ID, "a method parameter lacks its ID qualifier"),
    QRV_CODE(WBEM_E_INVALID_PARAMETER_ID, "a method parameter's ID is not valid"),
    QRV_CODE(WBEM_E_NONCONSECUTIVE_PARAMETER_IDS, "method parameter IDs are not consecutive"),
    QRV_CODE(WBEM_E_PARAMETER_ID_ON_RETVAL, "a method's return value has an ID qualifier"),
    QRV_CODE(WBEM_E_INVALID_OBJECT_PATH, "the object path is not valid"),
    QRV_CODE(WBEM_E_OUT_OF_DISK_SPACE, "the disk is full"),
    QRV_CODE(WBEM_E_BUFFER_TOO_SMALL, "the buffer is too small"),
    QRV_CODE(WBEM_E_UNSUPPORTED_PUT_EXTENSION, "the put extension is not supported"),
    QRV_CODE(WBEM_E_UNKNOWN_OBJECT_TYPE, "the object's type is unknown"),
    QRV_CODE(WBEM_E_UNKNOWN_PACKET_TYPE, "the packet's type is unknown"),
    QRV_CODE(WBEM_E_MARSHAL_VERSION_MISMATCH, "the packet's version is not supported"),
    QRV_CODE(WBEM_E_MARSHAL_INVALID_SIGNATURE, "the packet is damaged"),
    QRV_CODE(WBEM_E_INVALID_QUALIFIER, "the qualifier is not valid"),
    QRV_CODE(WBEM_E_INVALID_DUPLICATE_PARAMETER, "a method parameter is given twice"),
    QRV_CODE(WBEM_E_TOO_MUCH_DATA, "too much data"),
    QRV_CODE(WBEM_E_SERVER_TOO_BUSY, "the server is too busy"),
    QRV_CODE(WBEM_E_INVALID_FLAVOR, "the qualifier flavor is not valid"),
    QRV_CODE(WBEM_E_CIRCULAR_REFERENCE, "the classes refer to each other in a circle"),
    QRV_CODE(WBEM_E_UNSUPPORTED_CLASS_UPDATE, "the class cannot be changed that way"),
    QRV_CODE(WBEM_E_CANNOT_CHANGE_KEY_INHERITANCE, "the keys of a derived class cannot be changed"),
    QRV_CODE(WBEM_E_CANNOT_CHANGE_INDEX_INHERITANCE, "the indexes of a derived class cannot be changed"),
    QRV_CODE(WBEM_E_TOO_MANY_PROPERTIES, "the class has too many properties"),
    QRV_CODE(WBEM_E_UPDATE_TYPE_MISMATCH, "a derived class declares a property with another type"),
    QRV_CODE(WBEM_E_UPDATE_OVERRIDE_NOT_ALLOWED, "a derived class overrides what it may not"),
    QRV_CODE(WBEM_E_UPDATE_PROPAGATED_METHOD, "a derived class changes an inherited method"),
    QRV_CODE(WBEM_E_METHOD_NOT_IMPLEMENTED, "the provider does not implement the operation"),
    QRV_CODE(WBEM_E_METHOD_DISABLED, "the method is disabled"),
    QRV_CODE(WBEM_E_REFRESHER_BUSY, "the refresher is busy"),
    QRV_CODE(WBEM_E_UNPARSABLE_QUERY, "the query cannot be parsed"),
    QRV_CODE(WBEM_E_NOT_EVENT_CLASS, "the class is not an event class"),
    QRV_CODE(WBEM_E_MISSING_GROUP_WITHIN, "GROUP BY needs WITHIN"),
    QRV_CODE(WBEM_E_MISSING_AGGREGATION_LIST, "GROUP BY needs a property list"),
    QRV_CODE(WBEM_E_PROPERTY_NOT_AN_OBJECT, "the property is not an embedded object"),
    QRV_CODE(WBEM_E_AGGREGATING_BY_OBJECT, "an embedded object cannot be grouped by"),
    QRV_CODE(WBEM_E_UNINTERPRETABLE_PROVIDER_QUERY, "the provider's registered query cannot be read"),
    QRV_CODE(WBEM_E_BACKUP_RESTORE_WINMGMT_RUNNING, "the repository cannot be restored while WMI runs"),
    QRV_CODE(WBEM_E_QUEUE_OVERFLOW, "the event queue overflowed"),
    QRV_CODE(WBEM_E_PRIVILEGE_NOT_HELD, "the caller lacks a privilege the operation needs"),
    QRV_CODE(WBEM_E_INVALID_OPERATOR, "an operator of the query is not valid for its operands"),
    QRV_CODE(WBEM_E_LOCAL_CREDENTIALS, "credentials cannot be used on a local connection"),
    QRV_CODE(WBEM_E_CANNOT_BE_ABSTRACT, "the class cannot be abstract"),
    QRV_CODE(WBEM_E_AMENDED_OBJECT, "an amended object cannot be written without its flag"),
    QRV_CODE(WBEM_E_CLIENT_TOO_SLOW, "the client took the results too slowly"),
    QRV_CODE(WBEM_E_NULL_SECURITY_DESCRIPTOR, "the security descriptor is null"),
    QRV_CODE(WBEM_E_TIMED_OUT, "the operation timed out"),
    QRV_CODE(WBEM_E_INVALID_ASSOCIATION, "the association is not valid"),
    QRV_CODE(WBEM_E_AMBIGUOUS_OPERATION, "the operation is ambiguous"),
    QRV_CODE(WBEM_E_QUOTA_VIOLATION, "a WMI quota was exceeded"),
    QRV_CODE(WBEM_E_RESERVED_001, "reserved"),
    QRV_CODE(WBEM_E_RESERVED_002, "reserved"),
    QRV_CODE(WBEM_E_UNSUPPORTED_LOCALE, "the locale is not supported"),
    QRV_CODE(WBEM_E_HANDLE_OUT_OF_DATE, "the handle is out of date"),
    QRV_CODE(WBEM_E_CONNECTION_FAILED, "the connection failed"),
    QRV_CODE(WBEM_E_INVALID_HANDLE_REQUEST, "the handle request is not valid"),
    QRV_CODE(WBEM_E_PROPERTY_NAME_TOO_WIDE, "the property name is too long"),
    QRV_CODE(WBEM_E_CLASS_NAME_TOO_WIDE, "the class name is too long"),
    QRV_CODE(WBEM_E_METHOD_NAME_TOO_WIDE, "the method name is too long"),
    QRV_CODE(WBEM_E_QUALIFIER_NAME_TOO_WIDE, "the qualifier name is too long"),
    QRV_CODE(WBEM_E_RERUN_COMMAND, "run the command again"),
    QRV_CODE(WBEM_E_DATABASE_VER_MISMATCH, "the repository's version does not match"),
    QRV_CODE(WBEM_E_VETO_DELETE, "the provider refused the delete"),
    QRV_CODE(WBEM_E_VETO_PUT, "the provider refused the put"),
    QRV_CODE(WBEM_E_INVALID_LOCALE, "the locale is not valid"),
    QRV_CODE(WBEM_E_PROVIDER_SUSPENDED, "the provider is suspended"),
    QRV_CODE(WBEM_E_SYNCHRONIZATION_REQUIRED, "the object must be written again after a change of its class"),
    QRV_CODE(WBEM_E_NO_SCHEMA, "no schema is available"),
    QRV_CODE(WBEM_E_PROVIDER_ALREADY_REGISTERED, "the provider is already registered"),
    QRV_CODE(WBEM_E_PROVIDER_NOT_REGISTERED, "the provider is not registered"),
    QRV_CODE(WBEM_E_FATAL_TRANSPORT_ERROR, "the transport failed beyond recovery"),
    QRV_CODE(WBEM_E_ENCRYPTED_CONNECTION_REQUIRED, "the namespace needs an encrypted connection"),
    QRV_CODE(WBEM_E_PROVIDER_TIMED_OUT, "the provider did not answer in time"),
    QRV_CODE(WBEM_E_NO_KEY, "no key was given for the object"),
    QRV_CODE(WBEM_E_PROVIDER_DISABLED, "the provider is disabled"),
    QRV_CODE(WBEM_S_LIMITED_SERVICE, "success, with the service running limited"),
    QRV_CODE(WBEM_S_INDIRECTLY_UPDATED, "success: the object was updated through another"),
    QRV_CODE(WBEM_S_SUBJECT_TO_SDS, "success, subject to security descriptors"),
    QRV_CODE(WBEM_E_RETRY_LATER, "the service is busy: retry later"),
    QRV_CODE(WBEM_E_RESOURCE_CONTENTION, "the service lacks resources for the request"),
};

#undef QRV_CODE
#undef QRV_WIN32
#undef QRV_OTHER

// What an unnamed code's facility and severity tell.
std::string facilityMeaning(HRESULT code) {
  const unsigned value = static_cast<unsigned>(code);
  const unsigned facility = (value >> 16) & 0x1FFF;
  if (facility == FACILITY_WIN32) return "Win32 error " + std::to_string(value & 0xFFFF);
  if (SUCCEEDED(code)) return "a success code without a known meaning";
  if (facility == 1) return "an RPC error without a known meaning";
  if (facility == 4) return "an error defined by the interface that returned it";
  return "an error of facility " + std::to_string(facility) + " without a known meaning";
}

}  // namespace

std::string_view hresultName(HRESULT code) {
  const auto found = kCodes.find(code);
  return found == kCodes.end() ? "unknown" : found->second.name;
}

std::string hresultMeaning(HRESULT code) {
  const auto found = kCodes.find(code);
  return found == kCodes.end() ? facilityMeaning(code) : std::string(found->second.meaning);
}

std::string hresultText(HRESULT code) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(code));
  return std::string(hex) + " " + std::string(hresultName(code));
}

}  // namespace wmihost
