// The least a Windows program does, built as zorvik-cli.exe is: what starting one costs under Wine.
int main() {
    return 0;
}
