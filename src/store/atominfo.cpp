// The element table. Values are the single-precision numbers nearest to the published
// decimals, widened to double, so that masses and radii match earlier results to the bit.
#include "store/atominfo.h"

#include <array>
#include <cassert>

namespace {

struct Element {
    std::string_view nam;
    std::string_view namlow;
    float mass;
    float covrad;
    float atrad;
    float okb_r;
    float okb_c;
};

// 86 to 88 carry the covalent-radius marker -99.999 and the dummy atom 94 carries -99: none of
// them bonds. 95 to 98 repeat H, N, C and O with their own bond-valence parameters and are
// reached only by number.
constexpr std::array<Element, nelements> elements{{
    {"H ", "H ", 1.0079f, 0.32f, 1.5118f, 0.38f, 0.89f},       // 1
    {"HE", "He", 4.0026f, 0.93f, 999.9999f, 0.93f, 5.5f},      // 2
    {"LI", "Li", 6.941f, 0.6f, 999.9999f, 1.0f, 0.97f},        // 3
    {"BE", "Be", 9.0122f, 0.31f, 999.9999f, 0.81f, 1.47f},     // 4
    {"B ", "B ", 10.81f, 0.82f, 999.9999f, 0.79f, 1.6f},       // 5
    {"C ", "C ", 12.011f, 0.77f, 3.4015f, 0.78f, 2.0f},        // 6
    {"N ", "N ", 14.0067f, 0.75f, 3.0236f, 0.72f, 2.61f},      // 7
    {"O ", "O ", 15.9994f, 0.73f, 3.0236f, 0.63f, 3.15f},      // 8
    {"F ", "F ", 18.9984f, 0.72f, 2.5511f, 0.58f, 3.98f},      // 9
    {"NE", "Ne", 20.179f, 0.71f, 999.9999f, 0.71f, 4.84f},     // 10
    {"NA", "Na", 22.9898f, 0.95f, 999.9999f, 1.36f, 1.01f},    // 11
    {"MG", "Mg", 24.305f, 0.65f, 999.9999f, 1.21f, 1.23f},     // 12
    {"AL", "Al", 26.9815f, 1.18f, 999.9999f, 1.13f, 1.47f},    // 13
    {"SI", "Si", 28.0855f, 1.11f, 999.9999f, 1.12f, 1.58f},    // 14
    {"P ", "P ", 30.9738f, 1.06f, 3.5905f, 1.09f, 1.96f},      // 15
    {"S ", "S ", 32.06f, 1.02f, 3.5905f, 1.03f, 2.35f},        // 16
    {"CL", "Cl", 35.453f, 0.99f, 3.4015f, 0.99f, 2.74f},       // 17
    {"AR", "Ar", 39.948f, 0.98f, 999.9999f, 0.98f, 3.2f},      // 18
    {"K ", "K ", 39.0983f, 1.33f, 999.9999f, 1.73f, 0.91f},    // 19
    {"CA", "Ca", 40.08f, 0.99f, 999.9999f, 1.5f, 1.04f},       // 20
    {"SC", "Sc", 44.9559f, 1.0f, 999.9999f, 1.34f, 1.2f},      // 21
    {"TI", "Ti", 47.9f, 1.32f, 999.9999f, 1.27f, 1.32f},       // 22
    {"V ", "V ", 50.9415f, 1.22f, 999.9999f, 1.21f, 1.45f},    // 23
    {"CR", "Cr", 51.996f, 1.18f, 999.9999f, 1.16f, 1.56f},     // 24
    {"MN", "Mn", 54.938f, 1.17f, 999.9999f, 1.17f, 1.6f},      // 25
    {"FE", "Fe", 55.847f, 1.17f, 999.9999f, 1.16f, 1.64f},     // 26
    {"CO", "Co", 58.9332f, 1.16f, 999.9999f, 1.09f, 1.7f},     // 27
    {"NI", "Ni", 58.7f, 1.15f, 999.9999f, 1.04f, 1.75f},       // 28
    {"CU", "Cu", 63.546f, 1.17f, 999.9999f, 0.87f, 1.75f},     // 29
    {"ZN", "Zn", 65.38f, 0.85f, 999.9999f, 1.07f, 1.66f},      // 30
    {"GA", "Ga", 69.72f, 1.26f, 999.9999f, 1.14f, 1.82f},      // 31
    {"GE", "Ge", 72.59f, 1.22f, 999.9999f, 1.21f, 1.51f},      // 32
    {"AS", "As", 74.9216f, 1.2f, 3.7795f, 1.21f, 2.23f},       // 33
    {"SE", "Se", 78.96f, 1.16f, 3.7795f, 1.18f, 2.51f},        // 34
    {"BR", "Br", 79.904f, 1.14f, 3.685f, 1.13f, 2.58f},        // 35
    {"KR", "Kr", 83.8f, 1.12f, 999.9999f, 1.12f, 2.94f},       // 36
    {"RB", "Rb", 85.4678f, 1.48f, 999.9999f, 1.84f, 0.89f},    // 37
    {"SR", "Sr", 87.62f, 1.13f, 999.9999f, 1.66f, 0.99f},      // 38
    {"Y ", "Y ", 88.9059f, 1.02f, 999.9999f, 1.52f, 1.11f},    // 39
    {"ZR", "Zr", 91.22f, 1.45f, 999.9999f, 1.43f, 1.22f},      // 40
    {"NB", "Nb", 92.9064f, 1.34f, 999.9999f, 1.4f, 1.23f},     // 41
    {"MO", "Mo", 95.94f, 1.3f, 999.9999f, 1.37f, 1.3f},        // 42
    {"TC", "Tc", 98.0f, 1.27f, 999.9999f, 1.27f, 1.36f},       // 43
    {"RU", "Ru", 101.07f, 1.25f, 999.9999f, 1.21f, 1.42f},     // 44
    {"RH", "Rh", 102.9055f, 1.25f, 999.9999f, 1.18f, 1.54f},   // 45
    {"PD", "Pd", 106.4f, 1.28f, 999.9999f, 1.11f, 1.35f},      // 46
    {"AG", "Ag", 107.868f, 1.34f, 999.9999f, 1.12f, 1.42f},    // 47
    {"CD", "Cd", 112.41f, 1.48f, 999.9999f, 1.28f, 1.46f},     // 48
    {"IN", "In", 114.82f, 1.44f, 999.9999f, 1.34f, 1.49f},     // 49
    {"SN", "Sn", 118.69f, 1.41f, 999.9999f, 1.47f, 1.72f},     // 50
    {"SB", "Sb", 121.75f, 1.4f, 4.1574f, 1.41f, 1.72f},        // 51
    {"TE", "Te", 127.6f, 1.36f, 4.1574f, 1.4f, 2.72f},         // 52
    {"I ", "I ", 126.9045f, 1.33f, 4.0629f, 1.33f, 2.38f},     // 53
    {"XE", "Xe", 131.3f, 1.31f, 999.9999f, 1.31f, 2.4f},       // 54
    {"CS", "Cs", 132.9054f, 1.69f, 999.9999f, 2.05f, 0.86f},   // 55
    {"BA", "Ba", 137.33f, 1.35f, 999.9999f, 1.88f, 0.97f},     // 56
    {"LA", "La", 138.9055f, 1.69f, 999.9999f, 1.71f, 1.08f},   // 57
    {"CE", "Ce", 140.12f, 1.65f, 999.9999f, 1.68f, 1.08f},     // 58
    {"PR", "Pr", 140.9077f, 1.65f, 999.9999f, 1.66f, 1.07f},   // 59
    {"ND", "Nd", 144.24f, 1.64f, 999.9999f, 1.64f, 1.07f},     // 60
    {"PM", "Pm", 145.0f, 1.63f, 999.9999f, 1.63f, 1.07f},      // 61
    {"SM", "Sm", 150.4f, 1.62f, 999.9999f, 1.61f, 1.07f},      // 62
    {"EU", "Eu", 151.96f, 1.85f, 999.9999f, 1.62f, 1.01f},     // 63
    {"GD", "Gd", 157.25f, 1.01f, 999.9999f, 1.58f, 1.11f},     // 64
    {"TB", "Tb", 158.9254f, 1.59f, 999.9999f, 1.56f, 1.1f},    // 65
    {"DY", "Dy", 162.5f, 1.59f, 999.9999f, 1.54f, 1.1f},       // 66
    {"HO", "Ho", 164.9304f, 1.58f, 999.9999f, 1.53f, 1.1f},    // 67
    {"ER", "Er", 167.26f, 1.57f, 999.9999f, 1.51f, 1.11f},     // 68
    {"TM", "Tm", 168.9342f, 1.56f, 999.9999f, 1.5f, 1.11f},    // 69
    {"YB", "Yb", 173.04f, 1.56f, 999.9999f, 1.49f, 1.06f},     // 70
    {"LU", "Lu", 174.967f, 1.06f, 999.9999f, 1.47f, 1.14f},    // 71
    {"HF", "Hf", 178.49f, 1.44f, 999.9999f, 1.42f, 1.23f},     // 72
    {"TA", "Ta", 180.9479f, 1.34f, 999.9999f, 1.39f, 1.33f},   // 73
    {"W ", "W ", 183.85f, 1.3f, 999.9999f, 1.38f, 1.4f},       // 74
    {"RE", "Re", 186.207f, 1.28f, 999.9999f, 1.37f, 1.46f},    // 75
    {"OS", "Os", 190.2f, 1.26f, 999.9999f, 1.26f, 1.52f},      // 76
    {"IR", "Ir", 192.22f, 1.27f, 999.9999f, 1.37f, 1.55f},     // 77
    {"PT", "Pt", 195.09f, 1.3f, 999.9999f, 1.3f, 1.44f},       // 78
    {"AU", "Au", 196.9665f, 1.34f, 999.9999f, 1.34f, 1.42f},   // 79
    {"HG", "Hg", 200.59f, 1.1f, 999.9999f, 1.32f, 1.44f},      // 80
    {"TL", "Tl", 204.37f, 1.48f, 999.9999f, 1.62f, 1.44f},     // 81
    {"PB", "Pb", 207.2f, 1.47f, 999.9999f, 1.53f, 1.55f},      // 82
    {"BI", "Bi", 208.9804f, 1.46f, 999.9999f, 1.54f, 1.67f},   // 83
    {"PO", "Po", 209.0f, 1.46f, 999.9999f, 1.46f, 1.76f},      // 84
    {"AT", "At", 210.0f, 1.45f, 999.9999f, 1.45f, 1.9f},       // 85
    {"RN", "Rn", 222.0f, -99.999f, 999.9999f, 2.4f, 2.06f},    // 86
    {"FR", "Fr", 223.0f, -99.999f, 999.9999f, 2.7f, 0.86f},    // 87
    {"RA", "Ra", 226.0254f, -99.999f, 999.9999f, 2.2f, 0.97f}, // 88
    {"AC", "Ac", 227.0278f, 1.69f, 999.9999f, 2.0f, 1.0f},     // 89
    {"TH", "Th", 232.0381f, 1.65f, 999.9999f, 1.7f, 1.11f},    // 90
    {"PA", "Pa", 231.0359f, 1.65f, 999.9999f, 1.63f, 1.14f},   // 91
    {"U ", "U ", 238.029f, 1.64f, 999.9999f, 1.56f, 1.22f},    // 92
    {"NP", "Np", 0.0f, 0.0f, 999.9999f, 1.55f, 1.22f},         // 93
    {"XX", "XX", 0.0f, -99.0f, 999.9999f, 1.59f, 1.22f},       // 94
    {"H ", "H ", 1.0079f, 0.32f, 1.5118f, 1.73f, 1.0f},        // 95
    {"N ", "N ", 14.0067f, 0.75f, 3.0236f, 1.74f, 1.0f},       // 96
    {"C ", "C ", 12.011f, 0.77f, 3.4015f, 1.7f, 1.0f},         // 97
    {"O ", "O ", 15.9994f, 0.73f, 3.0236f, 1.86f, 1.0f},       // 98
}};

const Element& element(int z) {
    assert(z >= 1 && z <= nelements);
    return elements[std::size_t(z - 1)];
}

} // namespace

std::string_view defatnam(int z) {
    return element(z).nam;
}
std::string_view defatnamlow(int z) {
    return element(z).namlow;
}
double defatmass(int z) {
    return double(element(z).mass);
}
double defcovrad(int z) {
    return double(element(z).covrad);
}
double defatrad(int z) {
    return double(element(z).atrad);
}
double defokb_r(int z) {
    return double(element(z).okb_r);
}
double defokb_c(int z) {
    return double(element(z).okb_c);
}

int elementnumber(std::string_view uppersymbol) {
    char first4[4] = {' ', ' ', ' ', ' '};
    for (std::size_t i = 0; i < 4 && i < uppersymbol.size(); ++i) {
        first4[i] = uppersymbol[i];
    }
    const std::string_view four(first4, 4);
    const std::string_view two(first4, 2);
    for (int z = 1; z <= nelements; ++z) {
        const std::string_view nam = defatnam(z);
        if ((four.substr(0, 2) == "J." && four.substr(2) == nam) || two == nam) {
            return z;
        }
    }
    return 0;
}
