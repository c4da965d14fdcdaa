#pragma once
// The language every page of the client asks for. UI thread, inside OnBeforeResourceLoad.

namespace engine {
class Request;
}

// Adds "Accept-Language: zh-CN" to a request the engine lets us change.
void AddLanguageHeader(engine::Request& request);
