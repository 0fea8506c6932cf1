// Placeholder for a layer without sources yet.
