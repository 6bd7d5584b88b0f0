#pragma once
// The program's own names as the windows show them (UTF-8).
namespace tavola {

// The main window's caption, with "／"; the application title uses "・".
inline constexpr const char* kMainCaption = "Tavola++ 算数問題集２／分数の計算";
inline constexpr const char* kApplicationTitle = "Tavola++ 算数問題集２・分数の計算";
inline constexpr const char* kVersionText = "Version 4.10 2005.06.28";

} // namespace tavola
