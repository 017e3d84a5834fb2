// The entry point of the shared HTTP client library, so other programs can load the
// clients with dlopen and look the factory up by name.
#include "net/http_factory.h"

extern "C" __attribute__((visibility("default"))) bool CreateInstance(tarvo::IHttpBase** out, int32_t kind) {
  return tarvo::CreateInstance(out, kind);
}
