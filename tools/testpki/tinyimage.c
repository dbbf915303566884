/* A tiny image for the signing tests of the test PKI: signed, then changed
   after signing, never run. */
int main(void) {
    return 0;
}
