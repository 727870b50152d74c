// The run-time failure of the program: an error with a number and a text.
//
// Conversions that do not fit, reading past the end of a data file, an index outside an
// array, an arithmetic fault and a failing engine or spreadsheet call all raise this one
// exception type. The stages that catch it map it to their own status codes (the reader to
// its codes 2 and 3, the optimiser to status 1, the results writer to its scope messages).
#pragma once

#include <stdexcept>
#include <string>

namespace varsel {

/// Numbers of the run-time failures the program raises itself. Other numbers (for example an
/// errno value of a failed write) may travel in a RuntimeFailure as well.
enum FailureNumber : int {
    kInvalidCall = 5,           ///< an argument outside the range a routine accepts
    kOverflow = 6,              ///< a value does not fit its 16-bit or 32-bit type
    kSubscriptOutOfRange = 9,   ///< an array index outside 0 .. upper bound
    kDivisionByZero = 11,       ///< a division by zero
    kTypeMismatch = 13,         ///< a text that is not a number where a number is needed
    kFileNotFound = 53,         ///< a file that does not exist
    kDeviceIoError = 57,        ///< an input or output error
    kInputPastEnd = 62,         ///< reading beyond the last line of a text file
    kPathAccessError = 75,      ///< a file that cannot be opened or created
    kInvalidOperation = 1001,   ///< a floating-point invalid operation (a NaN result)
    kEngineFailure = 1002,      ///< an engine call that could not be carried out
    kSpreadsheetFailure = 1003  ///< a spreadsheet call that could not be carried out
};

/// A run-time failure: raised where a value cannot be produced, caught by the stage that
/// knows how to report it.
class RuntimeFailure : public std::runtime_error {
  public:
    RuntimeFailure(int number, const std::string& text)
        : std::runtime_error(text), number_(number) {}

    /// The failure's number (see FailureNumber).
    int Number() const noexcept { return number_; }

  private:
    int number_;
};

}  // namespace varsel
