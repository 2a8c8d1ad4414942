#pragma once
// Typed errors raised by the data model and the platform layer. Callers that
// probe (a keyed lookup that may miss, a text that may not convert) catch the
// specific type; everything else lets the error reach the user-facing handler.
#include <stdexcept>
#include <string>

namespace mq {

struct Error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// An index outside its range: channel 0-3, list entry 0-19, grid row/col.
struct OutOfRangeError : Error {
    using Error::Error;
};

// A number that does not fit its integer type after scaling or rounding.
struct OverflowError : Error {
    using Error::Error;
};

// A text that does not convert to the number or date-time it must hold.
struct ConversionError : Error {
    using Error::Error;
};

// Keyed collections: Add with a key already present.
struct DuplicateKeyError : Error {
    using Error::Error;
};

// Keyed collections: Item/Remove with a key not present or a position outside 1..Count.
struct MissingKeyError : Error {
    using Error::Error;
};

// The working database engine reported a failure.
struct DatabaseError : Error {
    using Error::Error;
};

// A file could not be opened, read, written, renamed or removed.
struct IoError : Error {
    using Error::Error;
};

}  // namespace mq
