#pragma once

// The pages the menus open in the user's browser: the product's online
// documentation and home page, and the maker's home page, which learns from
// its query which product sent the visitor.
namespace ProductPages {
inline constexpr char OnlineDocumentation[] = "https://www.ormid.example/liststudio/onlinedoc.htm";
inline constexpr char ProductHome[] = "https://www.ormid.example/liststudio/";
inline constexpr char MakerHome[] = "https://www.ormid.example/?ormidyrb";
}  // namespace ProductPages
