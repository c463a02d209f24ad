// Watches the C runtime's heap as this executable calls it: while a watch lives, the
// executable's own import table sends malloc, calloc, realloc and free through it, and a
// block freed again before the heap handed it out anew is counted instead of being freed
// twice. Under Wine a double free passes unnoticed (the heap refuses it silently), and on
// Windows it may corrupt the heap: the count makes it visible either way.
#pragma once

#include <windows.h>

#include <cstring>

class CrtHeapWatch {
public:
    CrtHeapWatch() {
        AcquireSRWLockExclusive(&Lock());
        State() = Watched();
        ReleaseSRWLockExclusive(&Lock());
        Real().malloc = reinterpret_cast<MallocFn>(Redirect("malloc", reinterpret_cast<void*>(&Malloc)));
        Real().calloc = reinterpret_cast<CallocFn>(Redirect("calloc", reinterpret_cast<void*>(&Calloc)));
        Real().realloc = reinterpret_cast<ReallocFn>(Redirect("realloc", reinterpret_cast<void*>(&Realloc)));
        Real().free = reinterpret_cast<FreeFn>(Redirect("free", reinterpret_cast<void*>(&Free)));
    }
    ~CrtHeapWatch() {
        Redirect("free", reinterpret_cast<void*>(Real().free));
        Redirect("realloc", reinterpret_cast<void*>(Real().realloc));
        Redirect("calloc", reinterpret_cast<void*>(Real().calloc));
        Redirect("malloc", reinterpret_cast<void*>(Real().malloc));
    }
    CrtHeapWatch(const CrtHeapWatch&) = delete;
    CrtHeapWatch& operator=(const CrtHeapWatch&) = delete;

    // Whether all four functions were found in the import table and were redirected.
    bool Watching() const { return Real().malloc && Real().calloc && Real().realloc && Real().free; }
    int DoubleFrees() const { return Read().doubleFrees; }
    // Whether more blocks were freed than the watch can remember (it then misses some).
    bool Overflowed() const { return Read().overflowed; }

private:
    using MallocFn = void*(__cdecl*)(size_t);
    using CallocFn = void*(__cdecl*)(size_t, size_t);
    using ReallocFn = void*(__cdecl*)(void*, size_t);
    using FreeFn = void(__cdecl*)(void*);
    struct Functions {
        MallocFn malloc = nullptr;
        CallocFn calloc = nullptr;
        ReallocFn realloc = nullptr;
        FreeFn free = nullptr;
    };
    static const int kRemembered = 4096;
    struct Watched {
        void* freed[kRemembered] = {};  // freed since, and not handed out again
        int count = 0;
        int doubleFrees = 0;
        bool overflowed = false;
    };

    static SRWLOCK& Lock() {
        static SRWLOCK lock = SRWLOCK_INIT;
        return lock;
    }
    static Functions& Real() {
        static Functions functions;
        return functions;
    }
    static Watched& State() {
        static Watched state;
        return state;
    }
    static Watched Read() {
        AcquireSRWLockShared(&Lock());
        const Watched state = State();
        ReleaseSRWLockShared(&Lock());
        return state;
    }

    // Sets the executable's import of msvcrt.dll's function name to replacement; returns
    // what it was (null when there is no such import).
    static void* Redirect(const char* name, void* replacement) {
        BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); dll->Name != 0; ++dll) {
            if (lstrcmpiA(reinterpret_cast<const char*>(base + dll->Name), "msvcrt.dll") != 0) continue;
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
            for (; names->u1.AddressOfData != 0; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
                const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) != 0) continue;
                DWORD protection = 0;
                VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE, &protection);
                void* was = reinterpret_cast<void*>(slots->u1.Function);
                slots->u1.Function = reinterpret_cast<DWORD_PTR>(replacement);
                VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), protection, &protection);
                return was;
            }
        }
        return nullptr;
    }

    // Under the lock: whether block was freed and not handed out since, forgetting it.
    static bool TakeFreed(void* block) {
        Watched& state = State();
        for (int i = 0; i < state.count; ++i) {
            if (state.freed[i] != block) continue;
            state.freed[i] = state.freed[--state.count];
            return true;
        }
        return false;
    }
    static void HandedOut(void* block) {
        if (block == nullptr) return;
        AcquireSRWLockExclusive(&Lock());
        TakeFreed(block);
        ReleaseSRWLockExclusive(&Lock());
    }
    // Whether block may be freed: false when it was freed already (counted).
    static bool Freeing(void* block) {
        AcquireSRWLockExclusive(&Lock());
        Watched& state = State();
        const bool again = TakeFreed(block);
        if (again) ++state.doubleFrees;
        if (state.count < kRemembered) state.freed[state.count++] = block;
        else state.overflowed = true;
        ReleaseSRWLockExclusive(&Lock());
        return !again;
    }

    static void* __cdecl Malloc(size_t size) {
        void* block = Real().malloc(size);
        HandedOut(block);
        return block;
    }
    static void* __cdecl Calloc(size_t count, size_t size) {
        void* block = Real().calloc(count, size);
        HandedOut(block);
        return block;
    }
    static void* __cdecl Realloc(void* block, size_t size) {
        if (block != nullptr && !Freeing(block)) return nullptr;
        void* moved = Real().realloc(block, size);
        if (moved == nullptr && size != 0) HandedOut(block);  // the block stays as it was
        HandedOut(moved);
        return moved;
    }
    static void __cdecl Free(void* block) {
        if (block != nullptr && Freeing(block)) Real().free(block);
    }
};
