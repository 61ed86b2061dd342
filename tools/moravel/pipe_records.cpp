#include "pipe_records.h"

#include <cstring>

namespace moravel_tool {

void PutSize(std::string& out, std::uint64_t value) {
  char bytes[sizeof value];
  std::memcpy(bytes, &value, sizeof value);
  out.append(bytes, sizeof value);
}

void PutDouble(std::string& out, double value) {
  char bytes[sizeof value];
  std::memcpy(bytes, &value, sizeof value);
  out.append(bytes, sizeof value);
}

void PutText(std::string& out, const std::string& text) {
  PutSize(out, text.size());
  out += text;
}

bool ByteReader::Text(std::string& text) {
  std::uint64_t size = 0;
  if (!Size(size) || size > bytes_.size() - at_) return false;
  text.assign(bytes_, at_, size);
  at_ += size;
  return true;
}

bool ByteReader::Raw(void* out, std::size_t size) {
  if (bytes_.size() - at_ < size) return false;
  std::memcpy(out, bytes_.data() + at_, size);
  at_ += size;
  return true;
}

std::string Record(std::size_t point, char kind, const std::string& payload) {
  std::string body;
  PutSize(body, point);
  body += kind;
  body += payload;
  std::string record;
  PutSize(record, body.size());
  record += body;
  return record;
}

bool TakeRecord(std::string& buffer, std::string& body) {
  std::uint64_t size = 0;
  if (buffer.size() < sizeof size) return false;
  std::memcpy(&size, buffer.data(), sizeof size);
  if (buffer.size() - sizeof size < size) return false;
  body = buffer.substr(sizeof size, size);
  buffer.erase(0, sizeof size + size);
  return true;
}

bool SplitRecord(const std::string& body, std::uint64_t& point, char& kind, std::string& payload) {
  ByteReader in(body);
  if (body.size() < sizeof point + 1 || !in.Size(point)) return false;
  kind = body[sizeof point];
  payload = body.substr(sizeof point + 1);
  return true;
}

}  // namespace moravel_tool
