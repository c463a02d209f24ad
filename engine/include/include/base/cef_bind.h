// base::Bind: a function or method with its arguments, made into a Closure. A
// reference-counted receiver is kept alive by the closure, as the engine's Bind does.
#pragma once

#include <type_traits>
#include <utility>

#include "include/base/cef_callback.h"
#include "include/internal/cef_ptr.h"

namespace base {
namespace cef_internal {

template <class T, class = void>
struct IsRefCounted : std::false_type {};
template <class T>
struct IsRefCounted<T, decltype(std::declval<const T&>().AddRef(), void())> : std::true_type {};

// How a bound receiver is held: a counted reference when it has one, else the pointer.
template <class T>
using Receiver = typename std::conditional<IsRefCounted<T>::value, CefRefPtr<T>, T*>::type;

}  // namespace cef_internal

template <class R, class C, class... P, class T, class... A>
Closure Bind(R (C::*method)(P...), T* object, A... args) {
    cef_internal::Receiver<T> receiver(object);
    return Closure([receiver, method, args...]() { (static_cast<C*>(&*receiver)->*method)(args...); });
}

template <class R, class... P, class... A>
Closure Bind(R (*function)(P...), A... args) {
    return Closure([function, args...]() { function(args...); });
}

}  // namespace base
