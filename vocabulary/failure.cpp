#include "vocabulary/failure.h"

#include <new>

#include "vocabulary/messages.h"
#include "platform/file_exception.h"

std::string FailureText(std::exception_ptr exception) {
    if (!exception) return Word(wSystem);
    try {
        std::rethrow_exception(exception);
    } catch (const CFailure& failure) {
        return failure.Text();
    } catch (const CFileException& fileError) {
        return FileExceptionText(&fileError);
    } catch (const std::bad_alloc&) {
        return Word(wMemoryShort);
    } catch (const std::exception& other) {
        return ExceptionText(&other);
    } catch (...) {
        return Word(wSystem);
    }
}
