package com.quillmark.sidecar;

import org.junit.jupiter.api.AfterAll;
import org.junit.jupiter.api.BeforeAll;
import org.junit.jupiter.api.io.TempDir;

import java.nio.file.Path;

/** Tests that share one running sidecar per class, with a temporary folder for its files. */
abstract class SharedSidecarTest {

    @TempDir
    static Path dir;
    static Client sidecar;

    @BeforeAll
    static void startSidecar() throws Exception {
        sidecar = TestSidecar.start(dir);
    }

    @AfterAll
    static void stopSidecar() {
        sidecar.close();
    }
}
