// Where the exit event lies when the system has private namespaces. Only a
// token that holds the user's SID, at medium integrity or above, may create a
// namespace whose boundary holds it and that label, so neither another user
// nor a sandboxed program can make KV480's exit event first. The session's number
// is in the boundary's name: one user's two sessions each have their own.
#pragma once

#include <string>

// The namespace's name; its event is "<alias>\Exit".
constexpr const char* EXIT_NAMESPACE_ALIAS = "VEKO_KV480";

std::string ExitNamespaceBoundaryName(unsigned long dwSession);
std::string ExitNamespaceEventName();

// Only SYSTEM, the administrators (the setup opens it) and that user (given
// as an "S-1-..." string) may open the namespace or make objects in it.
std::string ExitNamespaceSddl(const std::string& strUserSid);
