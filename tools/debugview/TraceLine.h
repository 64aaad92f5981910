#pragma once
// How the trace viewer writes one record: one line of tab-separated fields,
//   level, module, line, number 1, number 2, number 3, source file, message
// ended by a line feed. Control characters inside the two texts are written as
// \r, \n, \t or \xHH so a record always stays on one line; other bytes (the
// program's code page) pass unchanged. Windows-free.

#include <cstddef>
#include <string>

std::string DescribeTraceRecord(unsigned long level, const void* data, std::size_t size);
