#pragma once

// Words the text-recognition benchmarks and tests draw on screens: ordinary
// office and desktop vocabulary, so recall is measured on words people search for.
inline constexpr const char *kScreenWords[] = {

    "invoice",  "receipt",  "meeting",  "budget",   "report",   "download", "complete", "settings", "general",
    "privacy",  "accounts", "roadmap",  "hiring",   "review",   "project",  "status",   "update",   "calendar",
    "friday",   "monday",   "weather",  "forecast", "shipping", "address",  "payment",  "total",    "amount",
    "balance",  "transfer", "account",  "number",   "order",    "tracking", "window",   "terminal", "editor",
    "folder",   "document", "picture",  "music",    "video",    "archive",  "screen",   "preview",  "export",
    "import",   "backup",   "restore",  "network",  "server",   "client",   "quarterly", "traders", "northwind",
    "delivered", "pending", "approved", "travel",   "expenses", "holiday",  "schedule", "contract", "signature"};
