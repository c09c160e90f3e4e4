#include "net/messages.h"

#include <cmath>

namespace msg {

void FieldReader::Take(float& v) { ok &= in.ReadCompressed(v) && std::isfinite(v); }
void FieldReader::Take(int& v) { ok &= in.ReadCompressed(v); }
void FieldReader::Take(bool& v) { ok &= in.Read(v); }
void FieldReader::Take(std::string& v) { ok &= in.ReadString(v); }

}  // namespace msg
