// Request bodies the service reads as form fields, encoded or not. A field's decoded
// value is never longer than its encoded text.
#include "fuzz_support.h"
#include "service/form_fields.h"

using tarvo::service::FormFields;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view body = tarvo::fuzz::AsText(data, size);
  const FormFields fields = FormFields::Parse(body);
  for (const char* name : {"username", "password", "data", "token", ""}) {
    const std::optional<std::string> value = fields.Get(name);
    if (value && value->size() > body.size()) {
      tarvo::fuzz::Fail("a decoded value longer than the body");
    }
    (void)fields.RawTail(name);
  }
  if (FormFields::Decode(body).size() > body.size()) {
    tarvo::fuzz::Fail("decoding made a text longer");
  }
  return 0;
}
