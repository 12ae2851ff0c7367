#include "provider/dispatch/QVDispatch.h"

#include <xalanc/Include/XalanMemoryManagement.hpp>
#include <xalanc/XalanTransformer/XalanTransformer.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/XMLNetAccessor.hpp>

#include <mutex>

#include "provider/registration/ClassCache.h"
#include "provider/request/EnumerateImpl.h"
#include "provider/request/GetInstanceImpl.h"
#include "provider/request/cache/RequestCaches.h"
#include "provider/request/xslt/BoundedPadding.h"

namespace qrv::cim {

namespace {

using xalanc::XalanMemMgrs;
using xalanc::XalanTransformer;
using xercesc::XMLPlatformUtils;

// Dispatchers that have started the shared state and not yet stopped it.
// Xerces-C counts its own initialisations; Xalan-C does not, so it is
// started by the first dispatcher and stopped by the last.
std::mutex startLock;
int startedDispatchers = 0;

void terminateXerces() {
  try {
    XMLPlatformUtils::Terminate();
  } catch (...) {
  }
}

// Xerces-C fetches http: and ftp: URLs through its net accessor: no XML
// that the provider reads may come from the network, so it goes at once.
void closeNetworkAccess() {
  delete XMLPlatformUtils::fgNetAccessor;
  XMLPlatformUtils::fgNetAccessor = nullptr;
}

void terminateXalan() {
  try {
    XalanTransformer::terminate();
  } catch (...) {
  }
}

}  // namespace

int QVDispatch::initialize(const std::string& nameSpace) {
  nameSpace_ = nameSpace;
  std::lock_guard<std::mutex> guard(startLock);
  if (started_) return 0;
  XMLPlatformUtils::Initialize(xercesc::XMLUni::fgXercescDefaultLocale, nullptr, nullptr, nullptr);
  closeNetworkAccess();
  if (startedDispatchers == 0) {
    try {
      XalanTransformer::initialize(XalanMemMgrs::getDefaultXercesMemMgr());
      BoundedPadding::install();
    } catch (...) {
      terminateXerces();
      throw;
    }
  }
  ClassCache::initializeLock();
  ++startedDispatchers;
  started_ = true;
  return 0;
}

QVDispatch::~QVDispatch() {
  std::lock_guard<std::mutex> guard(startLock);
  if (!started_) return;
  if (--startedDispatchers == 0) {
    ClassCache::release();
    RequestCaches::release();
    terminateXalan();
  }
  terminateXerces();
}

RequestStatus QVDispatch::getInstance(const std::string& className, const KeyValues& keyValues,
                                      ParsedInstance& parsedInstance, const std::string& userName) {
  GetInstanceImpl request(userName);
  return request.run(nameSpace_, className, keyValues, parsedInstance);
}

RequestStatus QVDispatch::enumerate(const std::string& className, std::vector<ParsedInstance>& instances,
                                    const std::string& userName) {
  EnumerateImpl request(userName);
  return request.run(nameSpace_, className, instances);
}

}  // namespace qrv::cim
