#pragma once
// Errors of files, streams and decoding. Their message names the file and what failed;
// they travel up to the front end, which shows the message.
#include <stdexcept>
#include <string>

namespace pixadra {

class PixadraError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file could not be opened, read, written, renamed or locked.
class FileError : public PixadraError {
public:
    using PixadraError::PixadraError;
};

// Bytes that do not form a valid picture or record.
class DecodeError : public PixadraError {
public:
    using PixadraError::PixadraError;
};

// A size that the program refuses before allocating (overflow, 32-bit file fields, ...).
class SizeError : public PixadraError {
public:
    using PixadraError::PixadraError;
};

}  // namespace pixadra
