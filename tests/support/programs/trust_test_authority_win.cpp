// Makes the Wine prefix trust the test certificate authority of scripts/test-servers.sh, or forget
// it, through the prefix's own root store (the current user's "ROOT" system store, which crypt32
// keeps in the prefix's registry); the host's certificates are never touched.
//
//   trust_test_authority.exe add AUTHORITY.der | remove
//
// A separate program, run before the tests: under Wine a process builds its certificate chains
// with the root store as it was when crypt32 first opened it (which it does while opening the
// store to add to), and the store writes an added certificate to the registry only when it is
// closed. So only processes started after this one trust the authority.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {
// Every authority a test run ever made carries this name, so earlier runs' leftovers go too.
constexpr wchar_t kSubject[] = L"Lumaforge test ";

int RemoveTestAuthorities(HCERTSTORE store) {
    int removed = 0;
    while (PCCERT_CONTEXT found =
               CertFindCertificateInStore(store, X509_ASN_ENCODING, 0, CERT_FIND_SUBJECT_STR_W, kSubject, nullptr)) {
        // Frees the context whether it succeeds or not.
        if (!CertDeleteCertificateFromStore(found))
            break;
        ++removed;
    }
    return removed;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    const bool add = argc == 3 && std::wcscmp(argv[1], L"add") == 0;
    if (!add && !(argc == 2 && std::wcscmp(argv[1], L"remove") == 0)) {
        std::fprintf(stderr, "usage: trust_test_authority.exe add AUTHORITY.der | remove\n");
        return 2;
    }
    // The removal works on the registry store of the user's root certificates itself: under Wine a
    // deletion through the "ROOT" collection keeps the registry store open, and it then writes
    // nothing, neither the deletion nor a later addition.
    HCERTSTORE store =
        CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"Root");
    if (store == nullptr) {
        std::fprintf(stderr, "trust_test_authority: the root store cannot be opened (%lu)\n", GetLastError());
        return 1;
    }
    const int removed = RemoveTestAuthorities(store);
    bool ok = CertCloseStore(store, 0) != FALSE;
    if (add && ok) {
        std::ifstream in(std::filesystem::path(argv[2]), std::ios::binary);
        const std::string der(std::istreambuf_iterator<char>(in), {});
        store = CertOpenSystemStoreW(0, L"ROOT");
        ok = store != nullptr && !der.empty() &&
             CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                                              static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING,
                                              nullptr) != FALSE;
        if (!ok)
            std::fprintf(stderr, "trust_test_authority: the authority cannot be added (%lu)\n", GetLastError());
        // Closing writes the store to the registry.
        if (store != nullptr)
            ok = CertCloseStore(store, 0) != FALSE && ok;
    }
    std::printf("trust_test_authority: %d earlier test authorities removed%s\n", removed,
                add && ok ? ", the new one trusted" : "");
    return ok ? 0 : 1;
}
