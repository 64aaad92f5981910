#pragma once
// The layout of one trace record: seven NUL-terminated text fields laid back to
// back, exactly as a trace viewer decodes them. Windows-free.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Every record of the connection manager carries this module number.
constexpr std::uint16_t TRACE_MODULE = 6;

// A record is assembled in a buffer of this size and never exceeds it.
constexpr std::size_t TRACE_RECORD_CAPACITY = 2048;

struct TraceFields
{
    std::uint16_t module = 0;
    std::int32_t line = 0;
    std::int32_t number1 = 0;
    std::int32_t number2 = 0;
    std::int32_t number3 = 0;
    std::string source;
    std::string message;
};

// Writes the record into buffer (capacity bytes) and returns the number of bytes
// used, counting every terminating NUL. When the fields would not fit, the message
// is shortened first, then the source path, so the seven fields stay intact.
// capacity must hold at least the five number fields (TRACE_RECORD_CAPACITY does).
std::size_t BuildTraceRecord(char* buffer, std::size_t capacity, const TraceFields& fields);

// Reads a record back; empty when the block is not seven NUL-terminated fields.
std::optional<TraceFields> ParseTraceRecord(const void* data, std::size_t size);
