"""End-to-end harness: runs the real Windows programs under Wine and observes them from Linux."""
