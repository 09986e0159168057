#pragma once

// The words the benchmarks share with the plug-in, the simulator and curl.
namespace bench {

// Environment the host's libraries read.
constexpr char ConfigRootVariable[] = "VELTA_CONFIG_ROOT";
constexpr char CaFileVariable[] = "VELTA_NETWORK_CA_FILE";

// The service's addresses under its base path.
constexpr char ApiPath[] = "/api/v1";
constexpr char PaymentPath[] = "/payment";
constexpr char StatusPath[] = "/payment/status/";

// Simulator scenario tokens (plain text pays at once).
constexpr char PaidAtOnceToken[] = "bench-4111";
constexpr char PendingToken[] = "bench-sched+pending:%1";
constexpr char NeverPaidToken[] = "bench-cpu+never";

constexpr char CurlProgram[] = "curl";

} // namespace bench
