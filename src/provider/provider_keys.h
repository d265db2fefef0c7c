#pragma once
// The values the provider file is scrambled with. Every provider file that
// ships with the program, and every one its encoder writes, uses exactly these.

#include <string_view>

namespace corvane {

inline constexpr std::string_view kFirstFormatKey = ">fu#-qnOm";

inline constexpr std::string_view kSecondFormatKeys[5] = {
    "o}H!g!7hqBTf3h8hC=D!L)COn.f|rR&l0fu.|)4sOntCbyOKgCje+H+p=eD_NV-Q:E7IF{A$VF6sRUKi&",
    "v1q2Jo;D}xg9=7~6YFlpl}xBle4#D/J&n0>@mH/[TRqsTpHboq~3X",
    "_!gxpp#-X`8s#i{jjiY769w0J%3*I[#&QE<jtKq+5Eh[L7`C3-U8)m^4_L{tY2k[",
    "x)AP(LJI<O_~yz*=d|*+(}payW>{h/Mt{1W];sc=t1~=(_$.tTc:P;O1f",
    "0c{Wu>C;+$Z",
};

static_assert(kFirstFormatKey.size() == 9);
static_assert(kSecondFormatKeys[0].size() == 81 && kSecondFormatKeys[1].size() == 53 &&
              kSecondFormatKeys[2].size() == 64 && kSecondFormatKeys[3].size() == 57 &&
              kSecondFormatKeys[4].size() == 11);

}  // namespace corvane
