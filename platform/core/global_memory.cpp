// Global memory blocks: movable blocks reached through a handle and locked
// for an address, and fixed blocks whose handle is their address.
#include "platform/core/accounting.h"
#include "platform/core/handle_table.h"
#include "platform/win32.h"

#include <cstdlib>
#include <cstring>

namespace portable_win32 {

namespace {

struct Block {
    void *data = nullptr; // null for a zero-byte block
    SIZE_T size = 0;
    unsigned locks = 0;
    Block() = default;
    Block(const Block &) = delete;
    Block &operator=(const Block &) = delete;
    ~Block() { std::free(data); }
};

HandleTable<Block> &blocks() {
    static HandleTable<Block> table;
    return table;
}

// Blocks larger than this are refused, as a 32-bit process would refuse them.
const SIZE_T BLOCK_LIMIT = static_cast<SIZE_T>(1) << 31;

int allocations_to_fail = 0;

} // namespace

} // namespace portable_win32

using namespace portable_win32;

HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes) {
    if (allocations_to_fail > 0) {
        allocations_to_fail--;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (bytes >= BLOCK_LIMIT) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    const bool moveable = (flags & GMEM_MOVEABLE) != 0;
    auto block = std::make_unique<Block>();
    block->size = bytes;
    if (bytes > 0 || !moveable) {
        // A fixed block needs an address even when it is empty.
        block->data = (flags & GMEM_ZEROINIT) ? std::calloc(bytes ? bytes : 1, 1)
                                              : std::malloc(bytes ? bytes : 1);
        if (!block->data) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
    }
    if (!moveable) {
        const uintptr_t address = reinterpret_cast<uintptr_t>(block->data);
        blocks().add_as(address, std::move(block));
        return reinterpret_cast<HGLOBAL>(address);
    }
    return reinterpret_cast<HGLOBAL>(blocks().add(std::move(block)));
}

LPVOID WINAPI GlobalLock(HGLOBAL handle) {
    Block *b = blocks().find(handle);
    if (!b) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (!b->data) {
        return nullptr; // a zero-byte movable block has no address
    }
    if (b->locks < 0xFF) {
        b->locks++;
    }
    return b->data;
}

BOOL WINAPI GlobalUnlock(HGLOBAL handle) {
    Block *b = blocks().find(handle);
    if (!b) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (b->locks == 0) {
        SetLastError(ERROR_NOT_LOCKED);
        return FALSE;
    }
    b->locks--;
    if (b->locks == 0) {
        SetLastError(ERROR_SUCCESS);
        return FALSE;
    }
    return TRUE;
}

HGLOBAL WINAPI GlobalFree(HGLOBAL handle) {
    Block *b = blocks().find(handle);
    if (!b) {
        SetLastError(ERROR_INVALID_HANDLE);
        return handle;
    }
    blocks().remove(handle);
    return nullptr;
}

SIZE_T WINAPI GlobalSize(HGLOBAL handle) {
    const Block *b = blocks().find(handle);
    if (!b) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return b->size;
}

namespace portable_win32 {

int platform_live_memory_blocks() {
    return static_cast<int>(blocks().size());
}

void platform_fail_next_allocations(int count) {
    allocations_to_fail = count;
}

} // namespace portable_win32
