// Starts Xerces-C, Xalan-C and the class cache once for the whole test
// program and stops them afterwards, as the dispatcher does in production.

#include <gtest/gtest.h>

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/XalanTransformer/XalanTransformer.hpp>
#include <xercesc/util/PlatformUtils.hpp>

#include "provider/registration/ClassCache.h"
#include "provider/request/cache/RequestCaches.h"
#include "provider/request/xslt/BoundedPadding.h"

namespace {

class XalanEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    xercesc::XMLPlatformUtils::Initialize();
    xalanc::XalanTransformer::initialize(xalanc::XalanMemMgrs::getDefaultXercesMemMgr());
    qrv::cim::BoundedPadding::install();
    qrv::cim::ClassCache::initializeLock();
  }

  void TearDown() override {
    qrv::cim::ClassCache::release();
    qrv::cim::RequestCaches::release();
    xalanc::XalanTransformer::terminate();
    xercesc::XMLPlatformUtils::Terminate();
  }
};

const testing::Environment* const environment = testing::AddGlobalTestEnvironment(new XalanEnvironment);

}  // namespace
