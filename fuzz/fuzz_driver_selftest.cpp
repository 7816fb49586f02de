#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <thread>

// Fails on purpose, in the way its input's first byte names, so that the tests can see the
// driver keep the input that failed: 'a' aborts, 'x' throws past the entry, 'h' writes past a
// heap block, 'u' overflows an int, 's' sleeps past any short -timeout.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    switch (data[0]) {
    case 'a':
        std::abort();
    case 'x':
        throw std::runtime_error("thrown past the entry");
    case 'h': {
        char *block = new char[size];
        static_cast<volatile char *>(block)[size] = 0;
        delete[] block;
        break;
    }
    case 'u': {
        volatile int big = INT_MAX;
        volatile int sum = big + static_cast<int>(size);
        (void)sum;
        break;
    }
    case 's':
        std::this_thread::sleep_for(std::chrono::seconds(10));
        break;
    default:
        break;
    }
    return 0;
}
