#pragma once

namespace qrv::cim {

// The outcome of one request. The numbers are fixed: the WMI front end maps
// them to its result codes.
enum RequestStatus : int {
  Ok = 0,
  MissingKey = 1,
  NotAccessible = 6,
  TransformFailed = 9,
  StylesheetFailed = 10,
  NotSupported = 100,
};

}  // namespace qrv::cim
