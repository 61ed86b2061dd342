// The byte format on the pipes between the worker processes and their
// parent.  Numbers travel in the host's byte order (both ends are one
// program), doubles as their 8 bytes, so that every bit arrives.
//
// A record is [body length: 8 bytes][point: 8 bytes][kind: 1 byte][payload].
#ifndef MORAVEL_TOOL_PIPE_RECORDS_H
#define MORAVEL_TOOL_PIPE_RECORDS_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace moravel_tool {

void PutSize(std::string& out, std::uint64_t value);
void PutDouble(std::string& out, double value);
void PutText(std::string& out, const std::string& text);  // length, then the bytes

// Reads what the Put functions wrote, in the same order; each returns false
// when the bytes run out or do not fit.
class ByteReader {
 public:
  explicit ByteReader(const std::string& bytes) : bytes_(bytes) {}
  bool Size(std::uint64_t& value) { return Raw(&value, sizeof value); }
  bool Double(double& value) { return Raw(&value, sizeof value); }
  bool Text(std::string& text);
  bool AtEnd() const { return at_ == bytes_.size(); }

 private:
  bool Raw(void* out, std::size_t size);
  const std::string& bytes_;
  std::size_t at_ = 0;
};

// A whole record, ready to write.
std::string Record(std::size_t point, char kind, const std::string& payload);

// The first whole record at the front of `buffer`, without its length
// prefix, removed from `buffer`; false when none has arrived yet.
bool TakeRecord(std::string& buffer, std::string& body);

// The point, kind and payload of a record's body; false when damaged.
bool SplitRecord(const std::string& body, std::uint64_t& point, char& kind, std::string& payload);

}  // namespace moravel_tool

#endif
