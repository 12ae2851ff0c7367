#include "provider/request/xslt/CountingMemoryManager.h"

#include <xercesc/util/PlatformUtils.hpp>

#include <new>

namespace qrv::cim {

void* CountingMemoryManager::allocate(XMLSize_t size) {
  auto* block = static_cast<unsigned char*>(::operator new(size + kHeader));
  *reinterpret_cast<XMLSize_t*>(block) = size;
  live_.fetch_add(size, std::memory_order_relaxed);
  return block + kHeader;
}

void CountingMemoryManager::deallocate(void* p) {
  if (!p) return;
  unsigned char* block = static_cast<unsigned char*>(p) - kHeader;
  live_.fetch_sub(*reinterpret_cast<XMLSize_t*>(block), std::memory_order_relaxed);
  ::operator delete(block);
}

xercesc::MemoryManager* CountingMemoryManager::getExceptionMemoryManager() {
  return xercesc::XMLPlatformUtils::fgMemoryManager;
}

}  // namespace qrv::cim
